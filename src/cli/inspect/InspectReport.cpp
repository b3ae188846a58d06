#include "InspectReport.h"

#include "app/RecoveryApp.h"
#include "platform/codepage.h"

#include <cstdio>

namespace {

std::string Hex(std::uint64_t value, int width = 0) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%0*llX", width, static_cast<unsigned long long>(value));
    return buf;
}

std::string Quoted(std::string_view bytes) { return "\"" + VisibleText(bytes) + "\""; }

std::string Line(const std::string& key, const std::string& value) { return key + ": " + value + "\n"; }

std::string Utf16Name(const DirectoryEntry& entry) {
    QString name;
    for (char16_t c : entry.name) {
        if (c == 0)
            break;
        name += QChar(c);
    }
    return name.toStdString();
}

}  // namespace

std::string VisibleText(std::string_view bytes) {
    std::string out;
    std::string plain;
    auto flush = [&] {
        out += platform::AnsiToUtf16(plain).toStdString();
        plain.clear();
    };
    for (const char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b < 0x20 || b == 0x7F) {
            flush();
            char buf[8];
            std::snprintf(buf, sizeof buf, "<%02X>", b);
            out += buf;
            if (b == 0x0D)
                out += '\n';
        } else {
            plain += c;
        }
    }
    flush();
    return out;
}

std::string FilteredTextUtf8(std::string_view filtered) {
    const std::string_view text = filtered.substr(0, std::min(filtered.find('\0'), filtered.size()));
    QString unicode = platform::AnsiToUtf16(text);
    unicode.replace(QChar('\r'), QChar('\n'));
    return unicode.toStdString();
}

std::string InspectReport(const CDocRecover& engine, std::int32_t passResult, const QStringList& messages) {
    std::string r;
    r += Line("pass", passResult ? "succeeded (1)" : "failed (0)");
    r += Line("source length", std::to_string(engine.SourceLength()));

    const CompoundHeader& h = engine.m_header;
    r += "[compound header]\n";
    bool signature = std::equal(h.signature.begin(), h.signature.end(), kCompoundSignature.begin());
    r += Line("signature", signature ? "present" : "missing");
    r += Line("sector shift", std::to_string(h.sectorShift) + " (sectors read as 512 bytes)");
    r += Line("sectDirStart", std::to_string(h.sectDirStart));
    r += Line("directory offset", std::to_string((static_cast<std::uint64_t>(h.sectDirStart) + 1) * 512));

    r += "[directory]\n";
    r += Line("root entry", engine.m_bRootFound ? "recognised" : "not recognised");
    const std::size_t shown = engine.m_bRootFound ? engine.m_aDirEntries.size() : 1;
    for (std::size_t i = 0; i < shown; ++i) {
        const DirectoryEntry& e = engine.m_aDirEntries[i];
        r += "entry " + std::to_string(i) + ": name=\"" + Utf16Name(e) + "\" type=" + std::to_string(e.objectType) +
             " start=" + std::to_string(e.startSector) + " size=" + std::to_string(e.streamSize) + "\n";
    }

    const FibInfo& f = engine.m_fib;
    r += "[fib]\n";
    r += Line("found at", std::to_string(f.fibOffset) + (f.fibOffset == 512 ? " (standard place)" : " (not the standard place 512)"));
    r += Line("wIdent", Hex(f.wIdent, 4));
    r += Line("nFib", Hex(f.nFib, 4));
    r += Line("flags", Hex(f.flags, 4) + " fHasPic=" + std::to_string(engine.HasPictures()) +
                           " fEncrypted=" + std::to_string(engine.IsEncrypted()));
    r += Line("fcMac", std::to_string(f.fcMac));
    r += Line("ccpText", std::to_string(f.ccpText));
    r += Line("ccpHdd", std::to_string(f.ccpHdd));

    r += "[header and footer]\n";
    if (const HeaderFooterText* hf = engine.m_pHeaderFooter.get()) {
        r += Line("header", hf->HasHeader() ? Quoted(hf->header) : "none");
        r += Line("footer", hf->HasFooter() ? Quoted(hf->footer) : "none");
    } else {
        r += "none\n";
    }

    const CRecoveryApp& app = TheApp();
    r += "[text]\n";
    r += Line("source", std::string(doctext::TextSourceName(engine.m_textSource)) +
                            (engine.m_textSource == doctext::TextSource::Carved ? " (carved: not from a FIB)" : "") +
                            (engine.m_strTextSourceDetail.empty() ? "" : ", " + engine.m_strTextSourceDetail));
    if (engine.m_pszText && !app.m_pszRawText.empty()) {
        const std::string_view raw(reinterpret_cast<const char*>(app.m_pszRawText.data()), app.m_pszRawText.size() - 1);
        r += Line("bytes", std::to_string(raw.size()));
        r += VisibleText(raw);
        r += "\n[end of text]\n";
    } else {
        r += "none\n";
    }

    r += "[elements]\n";
    r += Line("count", std::to_string(engine.m_nElementCount));
    std::string codes;
    for (std::size_t i = 0; i < engine.m_nElementCount; ++i)
        codes += (i ? " " : "") + std::to_string(engine.m_aElementKinds[i]);
    r += Line("codes", codes);
    std::size_t index = 0;
    for (const TextRunNode* run = engine.m_pRunHead.get(); run; run = run->next.get())
        r += "run " + std::to_string(++index) + ": picture=" + std::to_string(run->pictureFlag) +
             " table=" + std::to_string(run->tableFlag) + " text=" + Quoted(run->text) + "\n";

    r += "[hyperlinks]\n";
    index = 0;
    for (const HyperlinkNode* link = engine.m_pLinkHead.get(); link; link = link->next.get())
        r += "hyperlink " + std::to_string(++index) + ": address=" + Quoted(link->address) +
             " display=" + Quoted(link->displayText) + "\n";
    r += "[tables]\n";
    index = 0;
    for (const TableNode* table = engine.m_pTableHead.get(); table; table = table->next.get())
        r += "table " + std::to_string(++index) + ": rows=" + std::to_string(table->rows) +
             " columns=" + std::to_string(table->columns) + " length=" + std::to_string(table->length) +
             " text=" + Quoted(table->text) + "\n";
    r += "[pictures]\n";
    index = 0;
    for (const PictureNode* picture = engine.m_pPictureHead.get(); picture; picture = picture->next.get())
        r += "picture " + std::to_string(++index) + ": name=" + picture->name + " size=" + std::to_string(picture->size) +
             "\n";
    r += "[messages]\n";
    for (const QString& m : messages)
        r += m.toStdString() + "\n";
    return r;
}
