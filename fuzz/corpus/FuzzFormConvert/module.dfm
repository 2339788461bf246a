object Module1: TDataModule
  Left = 0
  Top = 0
  Height = 150
  Width = 215
  object Barcode1: TBarcodeBmp
    Height = 50
    BarcodeText = 'Lumivex'
    BarcodeType = bcCode128
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -11
    Font.Name = 'Courier New'
    Font.Style = []
    Scale = 1
    Interpret = True
    Rotate = bcRotate90
  end
end
