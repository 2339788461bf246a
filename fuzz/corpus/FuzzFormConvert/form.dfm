object Form1: TForm
  Left = 10
  Top = 20
  Width = 300
  Height = 200
  Caption = 'Labels'#13#10'and more'
  object Barcode1: TBarcode
    Left = 8
    Top = 8
    Width = 120
    Height = 60
    BarcodeText = '400638133393'
    BarcodeType = bcEAN13
    Scale = 2
    Interpret = True
    Font.Style = [fsBold, fsItalic]
    Rotate = bcRotate180
  end
end
