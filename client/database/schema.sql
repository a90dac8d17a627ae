-- The tables of the client's local database. This file is the one source of the schema: the shipped
-- database is made from it at build time.
-- Text columns compare without regard to case; "编号" is the key the database numbers itself.

CREATE TABLE [user] (
    defaultname TEXT COLLATE NOCASE,
    defaultpwd  TEXT
);

CREATE TABLE customer (
    编号            INTEGER PRIMARY KEY AUTOINCREMENT,
    name            VARCHAR(30)  COLLATE NOCASE,
    mobile          VARCHAR(12)  COLLATE NOCASE,
    sex             VARCHAR(2)   COLLATE NOCASE,
    birthday        DATETIME,
    fposition       VARCHAR(20)  COLLATE NOCASE,
    company         VARCHAR(50)  COLLATE NOCASE,
    address         VARCHAR(50)  COLLATE NOCASE,
    postcode        VARCHAR(6)   COLLATE NOCASE,
    customergroupID VARCHAR(255) COLLATE NOCASE
);
CREATE INDEX customer_mobile ON customer (mobile);
CREATE INDEX customer_name ON customer (name);

CREATE TABLE customergroup (
    customergroupID   INTEGER PRIMARY KEY,
    customergroupName TEXT COLLATE NOCASE
);

CREATE TABLE phrase (
    phrasetypeID INTEGER,
    phrasetext   VARCHAR(160) COLLATE NOCASE
);
CREATE INDEX phrase_type ON phrase (phrasetypeID);

CREATE TABLE phrasetype (
    phrasetypeID   INTEGER PRIMARY KEY,
    phrasetypeName TEXT COLLATE NOCASE
);

CREATE TABLE smssendlist (
    编号       INTEGER PRIMARY KEY AUTOINCREMENT,
    loginid    VARCHAR(50)  COLLATE NOCASE,
    sendlist   VARCHAR(100) COLLATE NOCASE,
    sendtext   VARCHAR(140) COLLATE NOCASE,
    sendtime   DATETIME,
    schetime   VARCHAR(50)  COLLATE NOCASE,
    listcount  DOUBLE,
    committime DATETIME,
    sequence   VARCHAR(20)  COLLATE NOCASE,
    smsfolder  INTEGER,
    smstype    VARCHAR(50)  COLLATE NOCASE DEFAULT '发送',
    sendstatus SMALLINT,
    read       INTEGER DEFAULT 0
);
CREATE INDEX smssendlist_folder ON smssendlist (loginid, smsfolder, committime);
CREATE INDEX smssendlist_sendtime ON smssendlist (loginid, sendtime);
CREATE INDEX smssendlist_sendlist ON smssendlist (sendlist);

CREATE TABLE smsfolder (
    smsfolderid   INTEGER PRIMARY KEY,
    smsfoldername TEXT COLLATE NOCASE,
    smsfoldertype INTEGER
);

CREATE TABLE chargeHis (
    编号       INTEGER PRIMARY KEY AUTOINCREMENT,
    sn         VARCHAR(50) COLLATE NOCASE,
    cardnum    VARCHAR(50) COLLATE NOCASE,
    balance    DOUBLE,
    chargetime DATETIME
);
CREATE INDEX chargeHis_sn ON chargeHis (sn, chargetime);
