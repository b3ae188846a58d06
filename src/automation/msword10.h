#pragma once
// The Word 2002 binding.
#include "automation/WordWrappers.h"

namespace msword10 {
TESSALY_WORD_BINDING_ALIASES(automation::WordVersion::Word2002)
}  // namespace msword10
