object LabelsForm: TForm
  Left = 200
  Top = 120
  Caption = 'Shipping labels'
  ClientHeight = 320
  ClientWidth = 480
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  PixelsPerInch = 96
  TextHeight = 13
  object ShelfBarcode: TBarcode
    Left = 16
    Top = 180
    Width = 20
    Height = 60
    Hint = 'Shelf of the parcel'
    BarcodeText = 'SHELF-07'
    BarcodeType = bcCode39
    Scale = 2
    Interpret = True
  end
  object ParcelBarcode: TBarcodeBmp
    Height = 80
    BarcodeText = 'Lumivex 2026'
    BarcodeType = bcCode128
    Scale = 2
    Interpret = True
    Rotate = bcNoRotate
  end
  object ProductBarcode: TBarcodeBmp
    Height = 60
    BarcodeText = '400638133393'
    BarcodeType = bcEAN13
    Font.Height = -14
    Font.Name = 'DejaVu Sans Mono'
    Font.Style = [fsBold]
    Scale = 2
  end
  object RouteBarcode: TBarcodeBmp
    Height = 40
    BarcodeText = '1234567890'
    BarcodeType = bcInt2of5
    Scale = 1
    Interpret = False
    Rotate = bcRotate90
  end
end
