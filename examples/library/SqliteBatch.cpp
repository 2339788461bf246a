// A batch from SQLite: the data-aware component follows a field through the records of a query.
//   sqlite_batch DATABASE [DIRECTORY]
// The database holds a table products(sku TEXT, ean TEXT), as examples/catalogue.sql builds it.
#include <cstdio>
#include <exception>
#include <string>

#include <lumivex/Lumivex.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sqlite_batch DATABASE [DIRECTORY]\n");
        return 2;
    }
    const std::string directory = argc > 2 ? std::string(argv[2]) + "/" : "";
    try {
        vcl::TSQLiteQuery query(nullptr);
        query.SetDatabaseName(argv[1]);
        // Values are bound, never spliced into the SQL.
        query.SetSQL("SELECT sku, ean FROM products WHERE ean <> ?1 ORDER BY sku");
        query.SetParams({std::string()});
        vcl::TDataSource source(nullptr);
        source.SetDataSet(&query);

        lumivex::TDBBarcodeBmp barcode(nullptr);
        barcode.SetBarcodeType(lumivex::bcEAN13);
        barcode.SetScale(2);
        barcode.SetHeight(80);
        barcode.SetInterpret(true);
        barcode.SetDataSource(&source);
        barcode.SetDataField("ean");

        // Each move of the cursor renders the barcode of the new record.
        int written = 0;
        for (query.Open(); !query.Eof(); query.Next()) {
            const std::string file = directory + query.FieldByName("sku").GetDisplayText() + ".png";
            vcl::SaveBitmapToPngFile(barcode.GetBitmap(), file);
            ++written;
        }
        std::printf("%d labels written\n", written);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sqlite_batch: %s\n", e.what());
        return 1;
    }
}
