// Builds a database file from SQL scripts: make_database OUT.mdb SCRIPT.sql...
// The file is written beside OUT first and renamed, so an interrupted build never leaves half a database.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_database OUT.mdb SCRIPT.sql...\n");
        return 2;
    }
    const std::string out = argv[1];
    const std::string temp = out + ".tmp";
    std::remove(temp.c_str());
    sqlite3 *db = nullptr;
    if (sqlite3_open(temp.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "make_database: cannot create %s\n", temp.c_str());
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "make_database: cannot read %s\n", argv[i]);
            sqlite3_close(db);
            return 1;
        }
        std::stringstream script;
        script << in.rdbuf();
        char *error = nullptr;
        if (sqlite3_exec(db, script.str().c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::fprintf(stderr, "make_database: %s: %s\n", argv[i], error ? error : "error");
            sqlite3_free(error);
            sqlite3_close(db);
            return 1;
        }
    }
    sqlite3_close(db);
    if (std::rename(temp.c_str(), out.c_str()) != 0) {
        std::fprintf(stderr, "make_database: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
