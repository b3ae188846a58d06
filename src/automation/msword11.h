#pragma once
// The Word 2003 binding.
#include "automation/WordWrappers.h"

namespace msword11 {
TESSALY_WORD_BINDING_ALIASES(automation::WordVersion::Word2003)
}  // namespace msword11
