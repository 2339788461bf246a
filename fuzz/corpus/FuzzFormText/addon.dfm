object Module1: TDataModule
  object Add1: TBarcodeBmp
    Height = -5
    BarcodeText = '12'
    BarcodeType = bcUPC2ext
    Scale = 3
    Rotate = bcRotate270
    Tag = 7
  end
end
