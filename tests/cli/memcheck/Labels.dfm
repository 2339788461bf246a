object Labels: TForm
  Left = 0
  Top = 0
  Caption = 'Memcheck labels'
  object Shelf: TBarcode
    Left = 8
    Top = 8
    Width = 20
    Height = 60
    BarcodeText = 'SHELF-07'
    BarcodeType = bcCode39
    Scale = 2
    Interpret = True
  end
  object Parcel: TBarcodeBmp
    Height = 80
    BarcodeText = 'Lumivex 2026'
    BarcodeType = bcCode128
    Scale = 2
    Interpret = True
    Rotate = bcRotate90
  end
  object Items: TCSVDataSet
    FileName = 'items.csv'
  end
end
