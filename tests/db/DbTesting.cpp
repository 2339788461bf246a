#include "tests/db/DbTesting.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace dbtest {

TTempDir::TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumivex-db-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    FRoot = pattern;
}

TTempDir::~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(FRoot, ec);
}

TSqlFile::TSqlFile(const std::string& Path) {
    if (sqlite3_open_v2(Path.c_str(), &FDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
        throw std::runtime_error("cannot open " + Path);
}

TSqlFile::~TSqlFile() {
    sqlite3_close_v2(FDb);
}

void TSqlFile::Exec(const std::string& Sql) {
    char* error = nullptr;
    if (sqlite3_exec(FDb, Sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error(Sql + ": " + message);
    }
}

std::vector<std::string> TSqlFile::Rows(const std::string& Sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(FDb, Sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(Sql + ": " + sqlite3_errmsg(FDb));
    std::vector<std::string> rows;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            if (c)
                row += '|';
            if (sqlite3_column_type(stmt, c) == SQLITE_NULL) {
                row += "NULL";
                continue;
            }
            const auto* text = sqlite3_column_text(stmt, c);
            row.append(reinterpret_cast<const char*>(text),
                       static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)));
        }
        rows.push_back(row);
    }
    sqlite3_finalize(stmt);
    return rows;
}

void WriteFile(const std::string& Path, const std::string& Bytes) {
    std::ofstream out(Path, std::ios::binary);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + Path);
}

std::string ReadFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace dbtest
