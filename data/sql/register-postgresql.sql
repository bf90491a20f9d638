-- Zelvara's person register on a PostgreSQL server, shared by several desks.
--
-- The program makes these tables itself on first use when its user may
-- create tables. An administrator who prefers to make them beforehand runs
-- this file once in the register's database, for example:
--   psql -d zelvara -f register-postgresql.sql
-- then grants the readers SELECT, INSERT, UPDATE, DELETE on the eight tables
-- and USAGE on the sequences. A database made by an earlier version, without
-- the two birth_time tables, the two person_profile tables or the two
-- consultation tables, or without the index of character pairs of the
-- consultation search, gains them when the program (or this file) runs
-- again: every statement leaves what is already there as it is.
--
-- nam_data holds the clients with the eighteen fields of the register file
-- nam_data.db; version counts the writes of each record, so that a desk
-- writes only over the record as it read it. A trigger counts every update,
-- also one made with another tool. nam_data_deleted keeps deleted records
-- until they are brought back.
--
-- birth_time keeps a client's exact birth time and birthplace beside the
-- eighteen fields: the clock time HH:MM, the place's name, its longitude in
-- degrees east, its IANA time zone (empty: Asia/Tokyo) and the solar-time
-- correction chosen for the client (none, mean or true; NULL: the desk's
-- settings). birth_time_deleted keeps that of a deleted record under its
-- number, and it comes back with the record.

CREATE TABLE IF NOT EXISTS nam_data (
    id bigserial PRIMARY KEY,
    version bigint NOT NULL DEFAULT 1,
    "氏名" text NOT NULL DEFAULT '',
    "生まれた年" text NOT NULL DEFAULT '',
    "生まれた月" text NOT NULL DEFAULT '',
    "生まれた日" text NOT NULL DEFAULT '',
    "生まれた時刻" text NOT NULL DEFAULT '',
    "性別" text NOT NULL DEFAULT '',
    "hubo" text NOT NULL DEFAULT '',
    "meikyu" text NOT NULL DEFAULT '',
    "keitei" text NOT NULL DEFAULT '',
    "husai" text NOT NULL DEFAULT '',
    "sijyo" text NOT NULL DEFAULT '',
    "zaihaku" text NOT NULL DEFAULT '',
    "situyaku" text NOT NULL DEFAULT '',
    "seni" text NOT NULL DEFAULT '',
    "nuboku" text NOT NULL DEFAULT '',
    "kanroku" text NOT NULL DEFAULT '',
    "dentaku" text NOT NULL DEFAULT '',
    "hukutoku" text NOT NULL DEFAULT ''
);

CREATE TABLE IF NOT EXISTS nam_data_deleted (
    "番号" bigserial PRIMARY KEY,
    "削除日時" timestamp with time zone NOT NULL DEFAULT now(),
    "氏名" text NOT NULL DEFAULT '',
    "生まれた年" text NOT NULL DEFAULT '',
    "生まれた月" text NOT NULL DEFAULT '',
    "生まれた日" text NOT NULL DEFAULT '',
    "生まれた時刻" text NOT NULL DEFAULT '',
    "性別" text NOT NULL DEFAULT '',
    "hubo" text NOT NULL DEFAULT '',
    "meikyu" text NOT NULL DEFAULT '',
    "keitei" text NOT NULL DEFAULT '',
    "husai" text NOT NULL DEFAULT '',
    "sijyo" text NOT NULL DEFAULT '',
    "zaihaku" text NOT NULL DEFAULT '',
    "situyaku" text NOT NULL DEFAULT '',
    "seni" text NOT NULL DEFAULT '',
    "nuboku" text NOT NULL DEFAULT '',
    "kanroku" text NOT NULL DEFAULT '',
    "dentaku" text NOT NULL DEFAULT '',
    "hukutoku" text NOT NULL DEFAULT ''
);

CREATE OR REPLACE FUNCTION nam_data_next_version() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    NEW.version := OLD.version + 1;
    RETURN NEW;
END
$$;

CREATE OR REPLACE TRIGGER nam_data_version BEFORE UPDATE ON nam_data
    FOR EACH ROW EXECUTE FUNCTION nam_data_next_version();

CREATE TABLE IF NOT EXISTS birth_time (
    person bigint PRIMARY KEY REFERENCES nam_data (id) ON DELETE CASCADE,
    clock_time text NOT NULL,
    place text NOT NULL DEFAULT '',
    longitude double precision,
    zone text NOT NULL DEFAULT '',
    correction text
);

CREATE TABLE IF NOT EXISTS birth_time_deleted (
    "番号" bigint PRIMARY KEY REFERENCES nam_data_deleted ("番号") ON DELETE CASCADE,
    clock_time text NOT NULL,
    place text NOT NULL DEFAULT '',
    longitude double precision,
    zone text NOT NULL DEFAULT '',
    correction text
);

-- person_profile keeps the name of the convention profile (規則の組, the
-- reader's 流派) chosen for a client, as the desks' settings name them; no
-- entry: the desk's default. person_profile_deleted keeps that of a deleted
-- record under its number, and it comes back with the record.

CREATE TABLE IF NOT EXISTS person_profile (
    person bigint PRIMARY KEY REFERENCES nam_data (id) ON DELETE CASCADE,
    profile text NOT NULL
);

CREATE TABLE IF NOT EXISTS person_profile_deleted (
    number bigint PRIMARY KEY REFERENCES nam_data_deleted ("番号") ON DELETE CASCADE,
    profile text NOT NULL
);

-- The consultation record (鑑定記録): consultation holds one entry for each
-- session with a client (person: the client's id), version counted by the
-- same trigger function as nam_data. consultation_deleted keeps deleted
-- entries: those deleted alone (client_number NULL), and those that went
-- with their deleted client (with_client, client_number: the client's
-- number in nam_data_deleted), which come back with the client. Dates are
-- text YYYY-MM-DD, times HH:MM, the fee whole yen.
--
-- Full-text search of theme, question and notes uses pg_trgm (in Debian's
-- postgresql package; a trusted extension that the database's owner may
-- create). Without it the search still works, reading every entry. Its
-- index serves Japanese text only where the database's LC_CTYPE knows
-- Japanese characters as letters, e.g. a database made with
--   CREATE DATABASE zelvara TEMPLATE template0 ENCODING 'UTF8'
--       LC_COLLATE 'C' LC_CTYPE 'C.UTF-8';
-- (with LC_CTYPE 'C' pg_trgm makes no trigrams of Japanese).

CREATE TABLE IF NOT EXISTS consultation (
    id bigserial PRIMARY KEY,
    version bigint NOT NULL DEFAULT 1,
    person bigint NOT NULL REFERENCES nam_data (id),
    session_date text NOT NULL,
    session_time text NOT NULL DEFAULT '',
    theme text NOT NULL DEFAULT '',
    question text NOT NULL DEFAULT '',
    notes text NOT NULL DEFAULT '',
    profile text NOT NULL DEFAULT '',
    reading text NOT NULL DEFAULT '',
    birth_time text NOT NULL DEFAULT '',
    fee bigint,
    paid boolean NOT NULL DEFAULT false,
    next_date text NOT NULL DEFAULT '',
    next_time text NOT NULL DEFAULT ''
);

CREATE INDEX IF NOT EXISTS consultation_person ON consultation (person, session_date, session_time);
CREATE INDEX IF NOT EXISTS consultation_next ON consultation (next_date, next_time);

CREATE OR REPLACE TRIGGER consultation_version BEFORE UPDATE ON consultation
    FOR EACH ROW EXECUTE FUNCTION nam_data_next_version();

CREATE TABLE IF NOT EXISTS consultation_deleted (
    number bigserial PRIMARY KEY,
    deleted_at text NOT NULL,
    entry_id bigint NOT NULL,
    client_number bigint REFERENCES nam_data_deleted ("番号") ON DELETE CASCADE,
    with_client boolean NOT NULL DEFAULT false,
    version bigint NOT NULL,
    person bigint NOT NULL,
    session_date text NOT NULL,
    session_time text NOT NULL DEFAULT '',
    theme text NOT NULL DEFAULT '',
    question text NOT NULL DEFAULT '',
    notes text NOT NULL DEFAULT '',
    profile text NOT NULL DEFAULT '',
    reading text NOT NULL DEFAULT '',
    birth_time text NOT NULL DEFAULT '',
    fee bigint,
    paid boolean NOT NULL DEFAULT false,
    next_date text NOT NULL DEFAULT '',
    next_time text NOT NULL DEFAULT ''
);

CREATE INDEX IF NOT EXISTS consultation_deleted_client ON consultation_deleted (client_number);

DO $$
BEGIN
    CREATE EXTENSION IF NOT EXISTS pg_trgm;
EXCEPTION WHEN OTHERS THEN
    RAISE NOTICE 'pg_trgm is not available: the consultation search reads every entry';
END
$$;

DO $$
BEGIN
    IF EXISTS (SELECT 1 FROM pg_catalog.pg_extension WHERE extname = 'pg_trgm') THEN
        CREATE INDEX IF NOT EXISTS consultation_text ON consultation
            USING gin ((theme || E'\n' || question || E'\n' || notes) gin_trgm_ops);
    END IF;
END
$$;

-- A search of two characters, which pg_trgm's trigrams cannot serve, is
-- looked up by the distinct pairs of characters (in lower case) of the theme,
-- the question and the notes, each text on its own.
CREATE OR REPLACE FUNCTION consultation_bigrams(theme text, question text, notes text) RETURNS text[]
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT coalesce(array_agg(DISTINCT substr(t.text, i, 2)), '{}')
    FROM unnest(ARRAY[lower(theme), lower(question), lower(notes)]) AS t(text),
         generate_series(1, char_length(t.text) - 1) AS i
$$;

CREATE INDEX IF NOT EXISTS consultation_bigrams ON consultation
    USING gin (consultation_bigrams(theme, question, notes));
