-- The song library and the singers' history: the tables of "collections.mdb"
-- in a new data folder.
--
-- Display texts compare and sort without regard to ASCII letter case; song
-- paths name files and compare exactly. The indexes serve the library list's
-- sort orders and the look-up of a song by its path.

CREATE TABLE Items (
  ItemNum INTEGER PRIMARY KEY AUTOINCREMENT,
  Title TEXT COLLATE NOCASE,
  Artist TEXT COLLATE NOCASE,
  ID TEXT COLLATE NOCASE,
  Year1 TEXT COLLATE NOCASE,
  SongLen TEXT,
  SongPath TEXT,
  Type1 INTEGER,
  BPM REAL,
  Comments1 TEXT COLLATE NOCASE,
  CollectionNum INTEGER
);
CREATE INDEX ItemsByTitle ON Items (Title, Artist);
CREATE INDEX ItemsByArtist ON Items (Artist, Title);
CREATE INDEX ItemsById ON Items (ID, Title);
CREATE INDEX ItemsByYear ON Items (Year1, Title);
CREATE INDEX ItemsByComment ON Items (Comments1);
CREATE INDEX ItemsByPath ON Items (SongPath);

-- One row per singer and song; Year1 holds how many times the singer started
-- the song, VenueID the venue (0 none).
CREATE TABLE History (
  Title TEXT COLLATE NOCASE,
  Artist TEXT COLLATE NOCASE,
  ID TEXT COLLATE NOCASE,
  Year1 TEXT,
  SongPath TEXT,
  Key1 INTEGER,
  Multi1 INTEGER,
  Singer TEXT COLLATE NOCASE,
  VenueID INTEGER DEFAULT 0,
  Comments1 TEXT COLLATE NOCASE,
  CONSTRAINT HistorySingerSong UNIQUE (Singer, SongPath)
);
