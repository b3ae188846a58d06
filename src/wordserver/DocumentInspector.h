#pragma once
// Reads a saved document back through an office of its own and reports what
// it holds: used to check the server's output.
#include <QString>
#include <QStringList>
#include <filesystem>

namespace wordserver {

struct DocumentSummary {
    QString filter;      // the filter the office detected
    QString text;        // the main text, paragraphs separated by '\n'
    QString header;      // default page style's header and footer text
    QString footer;
    QStringList pageFields;  // text field services in header and footer
    int tables = 0;
    QStringList tableCells;
    QList<int> tableWidths;  // 1/100 mm, table by table  // every cell's text, table by table, row by row
    int pictures = 0;        // graphic objects, all embedded
    int linkedPictures = 0;
    QStringList hyperlinks;  // "URL|text" of each hyperlink portion in the main text
    bool formProtected = false;
};

// Throws std::runtime_error when the office cannot start or load the file.
DocumentSummary InspectDocument(const std::filesystem::path& file);

}  // namespace wordserver
