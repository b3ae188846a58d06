#pragma once
// The Word 2000 binding.
#include "automation/WordWrappers.h"

namespace msword9 {
TESSALY_WORD_BINDING_ALIASES(automation::WordVersion::Word2000)
}  // namespace msword9
