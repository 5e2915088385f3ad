-- The colour library: one table of named colours.
-- Name and Comment lengths are enforced here so that every writer (the save
-- dialog, the browser's in-place editing) gets the same refusal; the
-- constraint names are what the refusal message shows.
CREATE TABLE Colors (
    ID      INTEGER PRIMARY KEY AUTOINCREMENT,
    Name    VARCHAR(20) CONSTRAINT "Name holds at most 20 characters" CHECK (length(Name) <= 20),
    RVal    INTEGER,
    GVal    INTEGER,
    BVal    INTEGER,
    Comment VARCHAR(50) CONSTRAINT "Comment holds at most 50 characters" CHECK (length(Comment) <= 50)
);
CREATE INDEX ColorsByChannels ON Colors (RVal, GVal, BVal);
