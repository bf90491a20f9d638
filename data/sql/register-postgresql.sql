-- Zelvara's person register on a PostgreSQL server, shared by several desks.
--
-- The program makes these tables itself on first use when its user may
-- create tables. An administrator who prefers to make them beforehand runs
-- this file once in the register's database, for example:
--   psql -d zelvara -f register-postgresql.sql
-- then grants the readers SELECT, INSERT, UPDATE, DELETE on the four tables
-- and USAGE on the sequences. A database made by an earlier version, without
-- the two birth_time tables, gains them when the program (or this file) runs
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
