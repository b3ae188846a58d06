#include "automation/msword11.h"

TESSALY_WORD_BINDING_CLASSES(automation::WordVersion::Word2003);
