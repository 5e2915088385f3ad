-- The colour library: one table of named colours.
-- Name and Comment lengths are enforced here so that every writer (the save
-- dialog, the browser's in-place editing) gets the same refusal.
CREATE TABLE Colors (
    ID      INTEGER PRIMARY KEY AUTOINCREMENT,
    Name    VARCHAR(20) CHECK (length(Name) <= 20),
    RVal    INTEGER,
    GVal    INTEGER,
    BVal    INTEGER,
    Comment VARCHAR(50) CHECK (length(Comment) <= 50)
);
CREATE INDEX ColorsByChannels ON Colors (RVal, GVal, BVal);
