#pragma once

#include <QString>

#include <stdexcept>

namespace nelvo {

// An error raised inside a command; the window's error handler shows its text and the command ends.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

} // namespace nelvo
