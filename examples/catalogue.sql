-- A small sample catalogue for lumivex batch; scripts/main.sh loads it into build/catalogue.db
-- with the sqlite3 shell. The EAN-13 data are 12 digits, the barcode adds the check digit; their
-- prefix 20 is GS1's restricted-circulation range, for numbers that never leave the shop.
CREATE TABLE products (sku TEXT, name TEXT, ean TEXT, price REAL);
INSERT INTO products (sku, name, ean, price) VALUES
  ('LX-1001', 'Ballpoint Pen, Blue', '201001474354', 0.95),
  ('LX-1002', 'Ballpoint Pen, Black', '201002907796', 0.95),
  ('LX-1003', 'Gel Pen, Red', '201003586963', 1.60),
  ('LX-1004', 'Mechanical Pencil 0.5 mm', '201004898485', 3.20),
  ('LX-1005', 'Pencil HB, Box of 12', '201005969105', 2.90),
  ('LX-1006', 'Eraser, White', '201006819166', 0.60),
  ('LX-1007', 'Sharpener, Double Hole', '201007488269', 1.40),
  ('LX-1008', 'Ruler 30 cm', '201008473780', 1.10),
  ('LX-1009', 'Notebook A5, Squared', '201009532510', 2.50),
  ('LX-1010', 'Notebook A4, Lined', '201010896580', 3.10),
  ('LX-1011', 'Artist''s Sketchbook A4', '201011615917', 8.90),
  ('LX-1012', 'Sticky Notes 76 x 76 mm', '201012199126', 1.90),
  ('LX-1013', 'Highlighter Set, 4 Colours', '201013193630', 4.50),
  ('LX-1014', 'Stapler, Desktop', '201014842950', 9.90),
  ('LX-1015', 'Staples 24/6, Box of 1000', '201015536775', 2.20),
  ('LX-1016', 'Paper Clips, Box of 100', '201016498873', 1.20),
  ('LX-1017', 'Scissors 21 cm', '201017660479', 5.40),
  ('LX-1018', 'Glue Stick 40 g', '201018643782', 1.80),
  ('LX-1019', 'Correction Tape', '201019831496', 2.40),
  ('LX-1020', 'Envelopes C5, Pack of 50', '201020195217', 4.90),
  ('LX-1021', 'Copy Paper A4, 500 Sheets', '201021098695', 5.99),
  ('LX-1022', 'Ring Binder A4, 50 mm', '201022468286', 3.80),
  ('LX-1023', 'Index Dividers A4, 10 Tabs', '201023318139', 1.70),
  ('LX-1024', 'Desk Organiser', '201024148682', 12.50),
  ('LX-1025', 'Whiteboard Marker Set', '201025095074', 6.90);
