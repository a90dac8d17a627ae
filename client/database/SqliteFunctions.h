#pragma once

class QSqlDatabase;

// Makes month() and day() of a stored date-time available to statements on this connection.
bool registerDateFunctions(QSqlDatabase &db);
