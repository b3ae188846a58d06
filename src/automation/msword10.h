#pragma once
// The Word 2002 binding.
#include "automation/WordWrappers.h"

namespace msword10 {

inline constexpr automation::WordVersion kVersion = automation::WordVersion::Word2002;

using Application = automation::word::Application<kVersion>;
using Documents = automation::word::Documents<kVersion>;
using Document = automation::word::Document<kVersion>;
using Selection = automation::word::Selection<kVersion>;
using Range = automation::word::Range<kVersion>;
using Window = automation::word::Window<kVersion>;
using Pane = automation::word::Pane<kVersion>;
using View = automation::word::View<kVersion>;
using Tables = automation::word::Tables<kVersion>;
using Table = automation::word::Table<kVersion>;
using Rows = automation::word::Rows<kVersion>;
using Columns = automation::word::Columns<kVersion>;
using Cell = automation::word::Cell<kVersion>;
using Hyperlinks = automation::word::Hyperlinks<kVersion>;
using InlineShapes = automation::word::InlineShapes<kVersion>;

}  // namespace msword10
