#pragma once
// The Word 97 binding.
#include "automation/WordWrappers.h"

namespace msword8 {
TESSALY_WORD_BINDING_ALIASES(automation::WordVersion::Word97)
}  // namespace msword8
