#include "automation/msword8.h"

TESSALY_WORD_BINDING_CLASSES(automation::WordVersion::Word97);
