object Labels: TDataModule
  object Items1: TCSVDataSet
    FileName = 'items.csv'
    Active = False
  end
  object Barcode1: TDBBarcodeBmp
    Height = 50
    BarcodeType = bcCode39
    Scale = 2
    Interpret = True
    DataField = 'code'
    DataSource = Source1
    Rotate = bcNoRotate
  end
  object Source1: TDataSource
    DataSet = Items1
  end
  object Query1: TSQLiteQuery
    DatabaseName = 'labels.db'
    SQL = 'select code from items'
  end
end
