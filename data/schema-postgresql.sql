-- A team library on a PostgreSQL server: the table of the local store
-- (schema.sql) with what many members at once need. Applied by
-- `tintpick --library URI --create-library` or `psql -f`; members then get
-- their rights by GRANT (SELECT to read; INSERT, UPDATE, DELETE to write).
CREATE TABLE Colors (
    ID         integer GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    Name       varchar(20),
    RVal       integer,
    GVal       integer,
    BVal       integer,
    Comment    varchar(50),
    -- Raised by every change of the row: an edit names the version it
    -- started from, so a row someone else changed meanwhile is not
    -- written over.
    RowVersion bigint NOT NULL DEFAULT 1,
    -- Two members saving one colour at the same moment both pass their
    -- check for it; this lets only one of them in.
    CONSTRAINT "Colour is stored already" UNIQUE (RVal, GVal, BVal)
);

CREATE FUNCTION colors_next_version() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    NEW.RowVersion := OLD.RowVersion + 1;
    RETURN NEW;
END $$;

CREATE TRIGGER colors_version BEFORE UPDATE ON Colors
    FOR EACH ROW EXECUTE FUNCTION colors_next_version();

-- Open browsers listen on tintpick_colors. One notice per statement names
-- the server process of the writer (a browser skips its own writes) and the
-- rows the statement touched: "4711:12,13". A statement that touched too
-- many for one notice names none ("4711:"), which means "read it all".
CREATE FUNCTION colors_notify() RETURNS trigger LANGUAGE plpgsql AS $$
DECLARE
    ids text;
BEGIN
    IF TG_OP = 'DELETE' THEN
        SELECT string_agg(ID::text, ',') INTO ids FROM gone;
    ELSE
        SELECT string_agg(ID::text, ',') INTO ids FROM touched;
    END IF;
    IF ids IS NOT NULL THEN
        PERFORM pg_notify('tintpick_colors', pg_backend_pid() || ':' ||
                          CASE WHEN length(ids) > 7000 THEN '' ELSE ids END);
    END IF;
    RETURN NULL;
END $$;

CREATE TRIGGER colors_inserted AFTER INSERT ON Colors REFERENCING NEW TABLE AS touched
    FOR EACH STATEMENT EXECUTE FUNCTION colors_notify();
CREATE TRIGGER colors_updated AFTER UPDATE ON Colors REFERENCING NEW TABLE AS touched
    FOR EACH STATEMENT EXECUTE FUNCTION colors_notify();
CREATE TRIGGER colors_deleted AFTER DELETE ON Colors REFERENCING OLD TABLE AS gone
    FOR EACH STATEMENT EXECUTE FUNCTION colors_notify();
