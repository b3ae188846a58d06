#include "automation/msword10.h"

TESSALY_WORD_BINDING_CLASSES(automation::WordVersion::Word2002);
