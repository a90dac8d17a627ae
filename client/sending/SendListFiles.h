#pragma once

#include <QString>

class NumberStore;

// The send-list folder beside the program folder ("../sendlist/"), as a clean absolute path ending in
// "/"; created when missing. Raises nelvo::Error naming the folder when it cannot be created.
QString SendListFolder();

// Saves numbers as a send-list file: one a line, in the store's ascending order, CR LF, local code page,
// named by the current time "yyyyMMddhhmmss" + `kind` + ".txt" ("beforesend", "succ", "fail"). A name
// already taken (two files in one second, or another sender at the same moment) gets "_2", "_3"... so no
// file replaces another. Returns the full path; raises nelvo::Error naming the file when it cannot be
// written completely.
QString WriteSendListFile(const NumberStore &numbers, const QString &kind);
