#pragma once
// Scratch directories and direct SQLite access for the data-access tests.

#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

namespace dbtest {

// A directory of its own, removed with everything in it when the test ends.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    std::string Path(const std::string& Name) const { return (FRoot / Name).string(); }
    const std::filesystem::path& Root() const { return FRoot; }

private:
    std::filesystem::path FRoot;
};

// An SQLite file reached without any dataset, to set it up and to see what a dataset wrote.
class TSqlFile {
public:
    explicit TSqlFile(const std::string& Path);
    ~TSqlFile();
    TSqlFile(const TSqlFile&) = delete;
    TSqlFile& operator=(const TSqlFile&) = delete;

    void Exec(const std::string& Sql);
    // Each row of the query as its values joined by '|', NULL as "NULL".
    std::vector<std::string> Rows(const std::string& Sql);
    sqlite3* Handle() const { return FDb; }

private:
    sqlite3* FDb = nullptr;
};

// Writes bytes to a file as they are.
void WriteFile(const std::string& Path, const std::string& Bytes);
std::string ReadFile(const std::string& Path);

} // namespace dbtest
