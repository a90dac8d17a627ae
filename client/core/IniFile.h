#pragma once

#include <QString>

#include <optional>

// Settings files of the INI kind, in the local code page (GBK). Sections and keys match without regard to
// case; every call opens, reads or writes, and closes the file, so a value written anywhere is seen by the
// next read everywhere. `file` is a full path as the program spells it ("\" or "/", any letter case).

// The key's value as an integer; `defaultValue` when the key, its section or the file is missing or the
// value is not an integer.
int IniReadInt(const QString &file, const QString &section, const QString &key, int defaultValue = 0);
// The key's value as text, without surrounding blanks or quotes; empty text when missing.
QString IniReadStr(const QString &file, const QString &section, const QString &key);

// Replace the key's value in place, or add the key (and its section, and the file) when missing. Other
// lines are kept byte for byte. A file system that refuses the write raises nelvo::Error
// "Unable to write to <path>"; the file is replaced whole, so a crash mid-write leaves the old one.
void IniWriteInt(const QString &file, const QString &section, const QString &key, int value);
void IniWriteStr(const QString &file, const QString &section, const QString &key, const QString &value);

// A flag as the compose window stores it: written "-1" for true and "0" for false; read as a number
// (non-zero is true) or the words True/False in any case. Nothing when the value is missing or neither.
std::optional<bool> IniReadFlag(const QString &file, const QString &section, const QString &key);
void IniWriteFlag(const QString &file, const QString &section, const QString &key, bool value);
