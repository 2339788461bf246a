#pragma once
// What the data-aware component tests share: item tables on a SQLite file or a CSV file, a
// fixture that links a TDBBarcodeBmp to them, and the check that a barcode shows a text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/DBBarcodeBmp.h"
#include "host/controls/Forms.h"
#include "host/db/DB.h"
#include "tests/db/DbTesting.h"

namespace lumivex::testing {

enum class Kind { SQLite, CSV };
const char* Shown(Kind K);

struct TItem {
    std::string Code;
    std::string Name;
};

// Whether B holds Raw as filtered for its symbology and shows what a TBarcodeBmp with the same
// settings shows for Raw.
::testing::AssertionResult Shows(const TDBBarcodeBmp& B, const std::string& Raw);

class DBComponentTest : public ::testing::Test {
protected:
    void SetUp() override;

    // The items (fields id, code, name; id from 1) as a closed dataset owned by Owner: a query
    // on a SQLite file whose rows were inserted with bound values, or a CSV file.
    vcl::TDataSet* Items(Kind K, const std::vector<TItem>& Rows, vcl::TComponent* Owner);
    // A closed dataset of Rows, its source and a barcode on its code field, all owned by Module.
    TDBBarcodeBmp* Linked(Kind K, const std::vector<TItem>& Rows);

    dbtest::TTempDir Dir;
    std::string Db = Dir.Path("items.db");
    std::string Csv = Dir.Path("items.csv");
    vcl::TDataModule Module{nullptr};
    vcl::TDataSet* Data = nullptr;
    vcl::TDataSource* Source = nullptr;
};

} // namespace lumivex::testing
