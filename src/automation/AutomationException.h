#pragma once
#include "automation/Variant.h"

#include <QString>
#include <exception>
#include <string>

namespace automation {

// A failed automation call: the server's error code and description.
class AutomationException : public std::exception {
public:
    AutomationException(HRESULT code, QString description)
        : m_code(code), m_description(std::move(description)), m_what(m_description.toStdString()) {}
    HRESULT code() const { return m_code; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    HRESULT m_code;
    QString m_description;
    std::string m_what;
};

}  // namespace automation
