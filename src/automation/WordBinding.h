#pragma once
// The Word members the repair routines use, per Word binding: DISPID, kind,
// how each argument is passed, and what comes back. The wrappers make their
// calls from this table and the servers check every call against it, so a
// member is described exactly once.
#include "automation/Variant.h"

#include <QString>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace automation {

enum class WordVersion { Word97, Word2000, Word2002, Word2003 };
inline constexpr WordVersion kAllWordVersions[] = {WordVersion::Word97, WordVersion::Word2000, WordVersion::Word2002,
                                                   WordVersion::Word2003};
// "Word97", "Word2000", "Word2002", "Word2003".
QString WordVersionName(WordVersion v);
std::optional<WordVersion> WordVersionFromName(const QString& name);

enum class WordInterface {
    Application, Documents, Document, Selection, Range, Window, Pane, View,
    Tables, Table, Rows, Columns, Cell, Hyperlinks, InlineShapes,
    // Results the routines do not use further.
    Hyperlink, InlineShape, AutoTextEntry,
};
const char* InterfaceName(WordInterface i);

// How one argument travels: a variant by reference, or by value as a
// 32-bit integer, a string or an object reference.
enum class ArgPass { Var, I4, Bstr, Object };

enum class ResultKind { None, I4, Object };

struct WordMember {
    WordInterface iface;
    std::string_view name;
    InvokeKind kind;
    DISPID dispid;
    std::vector<ArgPass> args;
    ResultKind result;
    WordInterface resultInterface;  // for ResultKind::Object
    unsigned versions;              // bit per WordVersion
};

constexpr unsigned VersionBit(WordVersion v) { return 1u << static_cast<unsigned>(v); }
constexpr unsigned kAllVersionsMask = 0xF;

// Every member of every binding.
const std::vector<WordMember>& WordMembers();
// The member of `version` for a call; nullptr when the binding has none.
const WordMember* FindWordMember(WordVersion version, WordInterface iface, DISPID dispid, InvokeKind kind);
// The member of `version` by name ("Open", "SaveAs"...); nullptr when none.
const WordMember* FindWordMemberByName(WordVersion version, WordInterface iface, std::string_view name);

// Checks one call against the binding: the member exists for the version
// and kind, the argument count matches, and each argument is passed as the
// table says (a Var argument arrives by reference, a by-value argument as
// its own type). Returns the member, or throws AutomationException with
// DISP_E_MEMBERNOTFOUND, DISP_E_BADPARAMCOUNT or DISP_E_TYPEMISMATCH.
const WordMember& CheckWordCall(WordVersion version, WordInterface iface, DISPID dispid, InvokeKind kind,
                                std::span<const Variant> args);

}  // namespace automation
