#include "QtPrompts.h"

#include "uit_Input.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {

QMessageBox::Icon toQt(nelvo::Prompts::Icon icon)
{
    switch (icon) {
    case nelvo::Prompts::Icon::Information:
        return QMessageBox::Information;
    case nelvo::Prompts::Icon::Warning:
        return QMessageBox::Warning;
    case nelvo::Prompts::Icon::Question:
        return QMessageBox::Question;
    case nelvo::Prompts::Icon::Error:
        return QMessageBox::Critical;
    case nelvo::Prompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtPrompts::message(const QString &caption, const QString &text, Icon icon)
{
    QMessageBox box(toQt(icon), caption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

bool QtPrompts::question(const QString &caption, const QString &text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    return box.exec() == QMessageBox::Yes;
}

bool QtPrompts::okCancel(const QString &caption, const QString &text, Icon icon)
{
    QMessageBox box(toQt(icon), caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    return box.exec() == QMessageBox::Ok;
}

QString QtPrompts::inputText(const QString &caption, const QString &prompt, const QString &initial,
                             int maxLen)
{
    return TfrmInput::Ask(caption, prompt, initial, maxLen);
}

QString QtPrompts::inputLine(const QString &caption, const QString &prompt, const QString &initial, bool *ok)
{
    return QInputDialog::getText(QApplication::activeWindow(), caption, prompt, QLineEdit::Normal, initial,
                                 ok);
}

QString QtPrompts::openFileName(const QString &title, const QStringList &filters)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, QString(),
                                        filters.join(QStringLiteral(";;")));
}

QString QtPrompts::saveFileName(const QString &title, const QStringList &filters, const QString &suggested)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, suggested,
                                        filters.join(QStringLiteral(";;")));
}

bool QtPrompts::shellOpen(const QString &target)
{
    const QUrl url = target.contains(QStringLiteral("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
    return QDesktopServices::openUrl(url);
}

bool QtPrompts::openInTextEditor(const QString &path)
{
    // The desktop's handler for a text file is its text editor.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
