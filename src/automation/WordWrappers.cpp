#include "automation/WordWrappers.h"

#include <vector>

namespace automation {

Variant CallWordMember(const DispatchDriver& driver, WordVersion version, WordInterface iface,
                       std::string_view member, std::initializer_list<Variant> args) {
    if (driver.IsEmpty())
        return {};
    const QString name = QStringLiteral("%1.%2").arg(QLatin1String(InterfaceName(iface)),
                                                       QString::fromUtf8(member.data(), static_cast<qsizetype>(member.size())));
    const WordMember* m = FindWordMemberByName(version, iface, member);
    if (!m)
        throw AutomationException(DISP_E_MEMBERNOTFOUND,
                                  QStringLiteral("%1 is not in the %2 binding").arg(name, WordVersionName(version)));
    if (args.size() < m->args.size())
        throw AutomationException(DISP_E_BADPARAMCOUNT, QStringLiteral("%1 needs %2 arguments, the wrapper has %3")
                                                            .arg(name)
                                                            .arg(m->args.size())
                                                            .arg(args.size()));
    std::vector<Variant> sent;
    sent.reserve(m->args.size());
    auto it = args.begin();
    for (ArgPass pass : m->args) {
        sent.push_back(pass == ArgPass::Var ? it->ByRef() : it->ByValue());
        ++it;
    }
    return driver.InvokeMember(m->dispid, m->kind, m->result, sent);
}

}  // namespace automation
