#include "app/StringTable.h"

#include <map>

namespace app {

QString LoadString(unsigned id) {
    static const std::map<unsigned, const char*> table = {
        {IDS_ADD_FILE_PROMPT, "Add file\n Add File to TreeView"},
        {IDS_ADD_FOLDER_PROMPT, "Add Folder\n Add Folder to TreeView"},
        {IDS_HELP_PROMPT, "Help \n Help"},
        {IDS_SELECT_DRIVE_PROMPT, "Select Drive\n Select Drive"},
        {IDS_START_REPAIRING_PROMPT, "Start Repairing\n Start Repairing"},
        {IDS_STOP_REPAIRING_PROMPT, "Stop Repairing\n Stop Repairing"},
        {IDS_SHOW_WORD_VIEW_PROMPT, "Show Word View"},
        {IDS_SHOW_TEXT_VIEW_PROMPT, "Show Text View"},
        {IDS_REMOVE_PROMPT, "Remove File/Folder\n Remove File/Folder"},
        {IDS_ADVANCED_OPTIONS_PROMPT, "Advanced Options\n Advanced Options"},
        {IDS_WORD_RUNNING,
         "Tessaly will not continue because one or more instances of Microsoft Word are currently running.\n"
         "Please close all open Microsoft Word windows and then click Retry."},
        {IDS_PROCESS_ABORTED, "Process aborted - User intervention."},
        {IDS_NOT_INSTALLED, "Software is not installed properly.\n Please Reinstall it."},
        {IDS_CANNOT_REPAIR, "File cannot be repaired."},
        {IDS_CLICK_STOP_FIRST, "First click the Stop button."},
        {IDS_FILE_NOT_EXIST, "File does not exist."},
        {IDS_REPAIRED_OUT_OF, "File(s) are repaired out of "},
        {IDS_FILES, " Files"},
        {IDS_SEVERELY_CORRUPTED, "File is severely corrupted and  cannot be repaired."},
        {IDS_IMAGE_CANNOT_REPAIR, "Image cannot be repaired."},
        {IDS_NOT_WORD_FILE, "This is not a valid MS Word file."},
        {IDS_DESTINATION_FULL, "The destination drive is either full or not available."},
        {IDS_CAPTION, "Tessaly"},
        {IDS_STOPPING, "Stopping the process..."},
        {IDS_RECOVERED_OK, "file has been recovered successfully."},
        {IDS_PROGRESSBAR_FAILED, "Failed to Create ProgressBar"},
        {IDS_READY, "Ready"},
        {IDS_INDICATOR_BLANK, " "},
        {IDS_FILE_OPEN_ERROR, "File Open Error."},
        {IDS_WORD_LOAD_ERROR, "Error in loading MS Word."},
        {IDS_PASSWORD_PROTECTED, "File is password protected and cannot be repaired."},
    };
    const auto it = table.find(id);
    return it == table.end() ? QString() : QString::fromUtf8(it->second);
}

}  // namespace app
