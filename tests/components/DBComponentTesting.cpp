// Item tables and the linked barcode for the data-aware component tests.
#include "tests/components/DBComponentTesting.h"

#include <stdexcept>

#include "components/BarcodeBmp.h"
#include "components/BarcodeTypes.h"
#include "tests/components/ComponentTesting.h"

namespace lumivex::testing {

namespace {

std::string CsvQuoted(const std::string& S) {
    std::string q = "\"";
    for (char c : S)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + '"';
}

} // namespace

const char* Shown(Kind K) {
    return K == Kind::SQLite ? "SQLite" : "CSV";
}

::testing::AssertionResult Shows(const TDBBarcodeBmp& B, const std::string& Raw) {
    TBarcodeBmp want(nullptr);
    want.SetBarcodeType(B.GetBarcodeType());
    want.SetScale(B.GetScale());
    want.SetHeight(B.GetHeight());
    want.SetInterpret(B.GetInterpret());
    want.SetRotate(B.GetRotate());
    want.SetFont(&B.GetFont());
    want.SetBarcodeText(Raw);
    if (B.GetBarcodeText() != want.GetBarcodeText())
        return ::testing::AssertionFailure()
               << "text \"" << B.GetBarcodeText() << "\", want \"" << want.GetBarcodeText() << '"';
    if (const std::string d = PixelDifference(B.GetBitmap(), want.GetBitmap()); !d.empty())
        return ::testing::AssertionFailure()
               << "bitmap of \"" << want.GetBarcodeText() << "\": " << d;
    return ::testing::AssertionSuccess();
}

void DBComponentTest::SetUp() {
    vcl::RegisterHostClasses();
    vcl::RegisterDBClasses();
    RegisterBarcodeClasses();
}

vcl::TDataSet* DBComponentTest::Items(Kind K, const std::vector<TItem>& Rows,
                                      vcl::TComponent* Owner) {
    if (K == Kind::CSV) {
        std::string text = "id,code,name\r\n";
        for (std::size_t i = 0; i < Rows.size(); ++i)
            text += std::to_string(i + 1) + ',' + CsvQuoted(Rows[i].Code) + ',' +
                    CsvQuoted(Rows[i].Name) + "\r\n";
        dbtest::WriteFile(Csv, text);
        auto* d = new vcl::TCSVDataSet(Owner);
        d->SetFileName(Csv);
        return d;
    }
    dbtest::TSqlFile f(Db);
    f.Exec("DROP TABLE IF EXISTS items;"
           "CREATE TABLE items(id INTEGER PRIMARY KEY, code TEXT, name TEXT)");
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(f.Handle(), "INSERT INTO items(code, name) VALUES (?1, ?2)", -1, &stmt,
                           nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(f.Handle()));
    for (const TItem& r : Rows) {
        sqlite3_bind_text(stmt, 1, r.Code.data(), static_cast<int>(r.Code.size()),
                          SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 2, r.Name.data(), static_cast<int>(r.Name.size()),
                          SQLITE_TRANSIENT);
        const int rc = sqlite3_step(stmt);
        sqlite3_reset(stmt);
        if (rc != SQLITE_DONE) {
            sqlite3_finalize(stmt);
            throw std::runtime_error(sqlite3_errmsg(f.Handle()));
        }
    }
    sqlite3_finalize(stmt);
    auto* q = new vcl::TSQLiteQuery(Owner);
    q->SetDatabaseName(Db);
    q->SetSQL("SELECT id, code, name FROM items ORDER BY id");
    return q;
}

TDBBarcodeBmp* DBComponentTest::Linked(Kind K, const std::vector<TItem>& Rows) {
    Data = Items(K, Rows, &Module);
    Source = new vcl::TDataSource(&Module);
    Source->SetDataSet(Data);
    auto* b = new TDBBarcodeBmp(&Module);
    b->SetDataField("code");
    b->SetDataSource(Source);
    return b;
}

} // namespace lumivex::testing
