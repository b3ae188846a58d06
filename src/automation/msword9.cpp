#include "automation/msword9.h"

TESSALY_WORD_BINDING_CLASSES(automation::WordVersion::Word2000);
