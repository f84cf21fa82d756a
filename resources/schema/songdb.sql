-- The vendor's catalogue: the table of "songdb.mdb" in a new data folder,
-- replaced whole when the host updates the listings.

CREATE TABLE Songs (
  SongNum INTEGER PRIMARY KEY,
  Trackname TEXT COLLATE NOCASE,
  Artist TEXT COLLATE NOCASE,
  Code TEXT COLLATE NOCASE,
  Comp TEXT COLLATE NOCASE,
  Price REAL,
  Genre TEXT COLLATE NOCASE,
  ActivateDate TEXT,
  Path TEXT
);
