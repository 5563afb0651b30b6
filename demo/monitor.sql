/* The monitor: SL_PROC_STATE lists the live connections (attachments) of the database it is
   installed in, read from the server's monitoring tables; STOP_PROC ends one, SET_PROC_PRIORITY
   keeps a number for one. Run by install-monitor.sh. Running it again brings an installed copy
   up to date and keeps the priorities set; remove-monitor.sql takes it out again.
   Every object carries a description starting with 'Velkor monitor': objects of the same names
   without it belong to someone else and are never replaced. Written to read the same in SQL
   dialects 1 and 3 (single quotes only, no BIGINT declared). */

/* One transaction for all of it, committed at the end: a run that fails or is cut short
   leaves the database as it was. */
SET AUTODDL OFF;

CREATE OR ALTER EXCEPTION VELKOR_MONITOR_REFUSED 'The monitor cannot be installed here';
COMMENT ON EXCEPTION VELKOR_MONITOR_REFUSED IS
    'Velkor monitor: raised when installing would replace objects that are not its own';

SET TERM ^ ;

EXECUTE BLOCK AS
    DECLARE VARIABLE NAME VARCHAR(31);
BEGIN
    FOR SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS
        WHERE RDB$RELATION_NAME IN ('SL_PROC_STATE', 'VELKOR_MONITOR_PRIORITY')
          AND (RDB$DESCRIPTION IS NULL OR NOT (RDB$DESCRIPTION STARTING WITH 'Velkor monitor'))
        UNION ALL
        SELECT TRIM(RDB$PROCEDURE_NAME) FROM RDB$PROCEDURES
        WHERE RDB$PROCEDURE_NAME IN ('VELKOR_MONITOR_ATTACHMENTS', 'STOP_PROC', 'SET_PROC_PRIORITY')
          AND (RDB$DESCRIPTION IS NULL OR NOT (RDB$DESCRIPTION STARTING WITH 'Velkor monitor'))
        INTO :NAME
    DO
        EXCEPTION VELKOR_MONITOR_REFUSED
            NAME || ' exists and is not part of the monitor; rename or drop it first';
END^

/* Created only when missing: a second install keeps the priorities that the panel set. */
EXECUTE BLOCK AS
BEGIN
    IF (NOT EXISTS (SELECT 1 FROM RDB$RELATIONS
                    WHERE RDB$RELATION_NAME = 'VELKOR_MONITOR_PRIORITY')) THEN
        EXECUTE STATEMENT
            'CREATE TABLE VELKOR_MONITOR_PRIORITY (' ||
            'ATTACHMENT_ID INTEGER NOT NULL PRIMARY KEY, PRIORITY INTEGER NOT NULL)';
END^

SET TERM ; ^

COMMENT ON TABLE VELKOR_MONITOR_PRIORITY IS
    'Velkor monitor: the priority last set for an attachment; the server has no such thing';

SET TERM ^ ;

/* The monitoring tables are read in a transaction of their own at every select: they hold
   one snapshot per transaction, and the panel keeps one transaction open for its whole
   connection. Attachment ids are 64-bit; the panel's PROC_ID is a 32-bit integer, so an
   attachment whose id is above 2147483647 is left out of the list (the panel could neither
   show nor address it). The server's own attachments (cache writer, garbage collector) are
   left out too: they cannot be ended. */
CREATE OR ALTER PROCEDURE VELKOR_MONITOR_ATTACHMENTS
RETURNS (PROC_ID INTEGER, PROC_NAME VARCHAR(100) CHARACTER SET WIN1251, PROC_PRIORITY INTEGER,
         PROC_AGE_MS INTEGER, PROC_AGE_DAYS INTEGER)
AS
    DECLARE VARIABLE RAW_USER VARCHAR(1020) CHARACTER SET OCTETS;
    DECLARE VARIABLE RAW_ADDRESS VARCHAR(1020) CHARACTER SET OCTETS;
    DECLARE VARIABLE RAW_PROCESS VARCHAR(1020) CHARACTER SET OCTETS;
    DECLARE VARIABLE PROCESS VARCHAR(255) CHARACTER SET UTF8;
    DECLARE VARIABLE STARTED TIMESTAMP;
    DECLARE VARIABLE PRIORITY INTEGER;
    DECLARE VARIABLE FULL_NAME VARCHAR(1000) CHARACTER SET UTF8;
    DECLARE VARIABLE SLASH INTEGER;
    DECLARE VARIABLE I INTEGER;
    DECLARE VARIABLE CH VARCHAR(1) CHARACTER SET WIN1251;
    DECLARE VARIABLE AGE_MS DOUBLE PRECISION;

    /* The monitoring tables' text as UTF-8 again (see below); '?' for bytes that are not. */
    DECLARE FUNCTION AS_TEXT (RAW VARCHAR(1020) CHARACTER SET OCTETS)
    RETURNS VARCHAR(255) CHARACTER SET UTF8
    AS
        DECLARE VARIABLE TEXT VARCHAR(255) CHARACTER SET UTF8;
    BEGIN
        BEGIN
            TEXT = CAST(RAW AS VARCHAR(255) CHARACTER SET UTF8);
            WHEN ANY DO
                TEXT = '?';
        END
        RETURN TEXT;
    END
BEGIN
    /* Housekeeping: a clash with another panel cleaning up at the same moment must not cost
       the list, so a failure here is let go; the next refresh tries again. */
    BEGIN
        IN AUTONOMOUS TRANSACTION DO
            DELETE FROM VELKOR_MONITOR_PRIORITY P
            WHERE NOT EXISTS (SELECT 1 FROM MON$ATTACHMENTS A
                              WHERE A.MON$ATTACHMENT_ID = P.ATTACHMENT_ID);
        WHEN ANY DO
        BEGIN
        END
    END

    /* The statement hands its text over in the caller's character set, where one letter that
       it lacks would fail the whole list; as bytes nothing is converted on the way. */
    FOR EXECUTE STATEMENT
        'SELECT A.MON$ATTACHMENT_ID, ' ||
        'CAST(TRIM(A.MON$USER) AS VARCHAR(1020) CHARACTER SET OCTETS), ' ||
        'CAST(A.MON$REMOTE_ADDRESS AS VARCHAR(1020) CHARACTER SET OCTETS), ' ||
        'CAST(A.MON$REMOTE_PROCESS AS VARCHAR(1020) CHARACTER SET OCTETS), ' ||
        'A.MON$TIMESTAMP, P.PRIORITY ' ||
        'FROM MON$ATTACHMENTS A ' ||
        'LEFT JOIN VELKOR_MONITOR_PRIORITY P ON P.ATTACHMENT_ID = A.MON$ATTACHMENT_ID ' ||
        'WHERE A.MON$SYSTEM_FLAG = 0 AND A.MON$ATTACHMENT_ID <= 2147483647 ' ||
        'ORDER BY A.MON$ATTACHMENT_ID'
        WITH AUTONOMOUS TRANSACTION
        INTO :PROC_ID, :RAW_USER, :RAW_ADDRESS, :RAW_PROCESS, :STARTED, :PRIORITY
    DO BEGIN
        /* The program's file name without its folders, from either kind of client. */
        PROCESS = COALESCE(AS_TEXT(RAW_PROCESS), '');
        SLASH = POSITION('/' IN PROCESS);
        WHILE (SLASH > 0) DO
        BEGIN
            PROCESS = SUBSTRING(PROCESS FROM SLASH + 1);
            SLASH = POSITION('/' IN PROCESS);
        END
        SLASH = POSITION('\' IN PROCESS);
        WHILE (SLASH > 0) DO
        BEGIN
            PROCESS = SUBSTRING(PROCESS FROM SLASH + 1);
            SLASH = POSITION('\' IN PROCESS);
        END

        /* The mark comes first so that cutting a long name never loses it. */
        FULL_NAME = COALESCE(AS_TEXT(RAW_USER), '') || '@' ||
                    COALESCE(AS_TEXT(RAW_ADDRESS), 'local') ||
                    IIF(PROCESS = '', '', ' ' || PROCESS);
        IF (PROC_ID = CURRENT_CONNECTION) THEN
            FULL_NAME = '(this connection) ' || FULL_NAME;
        FULL_NAME = SUBSTRING(FULL_NAME FROM 1 FOR 100);

        /* The panel reads WIN1251. A character that it lacks would fail the whole fetch at the
           client, so such a character shows as '?' instead. */
        BEGIN
            PROC_NAME = FULL_NAME;
            WHEN ANY DO
            BEGIN
                PROC_NAME = '';
                I = 1;
                WHILE (I <= CHAR_LENGTH(FULL_NAME)) DO
                BEGIN
                    BEGIN
                        CH = SUBSTRING(FULL_NAME FROM I FOR 1);
                        WHEN ANY DO
                            CH = '?';
                    END
                    PROC_NAME = PROC_NAME || CH;
                    I = I + 1;
                END
            END
        END

        PROC_PRIORITY = COALESCE(PRIORITY, 0);
        AGE_MS = DATEDIFF(MILLISECOND FROM STARTED TO CURRENT_TIMESTAMP);
        /* The two clocks round differently: a fresh attachment may seem to start after now. */
        IF (AGE_MS < 0) THEN AGE_MS = 0;
        PROC_AGE_DAYS = CAST(FLOOR(AGE_MS / 86400000) AS INTEGER);
        /* An integer holds 24 days of milliseconds; older attachments show that many. */
        IF (AGE_MS > 2147483647) THEN AGE_MS = 2147483647;
        PROC_AGE_MS = CAST(AGE_MS AS INTEGER);
        SUSPEND;
    END
END^

/* Deleting an attachment's monitoring row makes the server end it: its next call fails with
   "connection shutdown". Done in an autonomous transaction so it acts at once, whatever the
   caller's transaction does afterwards. RESULT is 1 when an attachment was ended, 0 when none
   of the caller's visible ones had that id. */
CREATE OR ALTER PROCEDURE STOP_PROC (PROC_ID INTEGER)
RETURNS (RESULT INTEGER)
AS
BEGIN
    RESULT = 0;
    /* Ending the caller's own attachment would pull the floor from under it. */
    IF (PROC_ID IS NULL OR PROC_ID = CURRENT_CONNECTION) THEN
        EXIT;
    IN AUTONOMOUS TRANSACTION DO
    BEGIN
        DELETE FROM MON$ATTACHMENTS
        WHERE MON$ATTACHMENT_ID = :PROC_ID AND MON$SYSTEM_FLAG = 0;
        RESULT = IIF(ROW_COUNT > 0, 1, 0);
    END
END^

/* Firebird has no attachment priority: the value is only kept, for the list to show. RESULT is
   1 when the attachment is live and the value was kept, 0 otherwise. A null PRIORITY clears
   the value (the list shows 0 again). */
CREATE OR ALTER PROCEDURE SET_PROC_PRIORITY (PROC_ID INTEGER, PRIORITY INTEGER)
RETURNS (RESULT INTEGER)
AS
BEGIN
    RESULT = 0;
    IN AUTONOMOUS TRANSACTION DO
    BEGIN
        IF (EXISTS (SELECT 1 FROM MON$ATTACHMENTS
                    WHERE MON$ATTACHMENT_ID = :PROC_ID AND MON$SYSTEM_FLAG = 0)) THEN
        BEGIN
            IF (PRIORITY IS NULL) THEN
                DELETE FROM VELKOR_MONITOR_PRIORITY WHERE ATTACHMENT_ID = :PROC_ID;
            ELSE
                UPDATE OR INSERT INTO VELKOR_MONITOR_PRIORITY (ATTACHMENT_ID, PRIORITY)
                VALUES (:PROC_ID, :PRIORITY) MATCHING (ATTACHMENT_ID);
            RESULT = 1;
        END
    END
END^

SET TERM ; ^

CREATE OR ALTER VIEW SL_PROC_STATE (PROC_ID, PROC_NAME, PROC_PRIORITY, PROC_AGE_MS, PROC_AGE_DAYS)
AS
    SELECT PROC_ID, PROC_NAME, PROC_PRIORITY, PROC_AGE_MS, PROC_AGE_DAYS
    FROM VELKOR_MONITOR_ATTACHMENTS;

COMMENT ON PROCEDURE VELKOR_MONITOR_ATTACHMENTS IS
    'Velkor monitor: the live attachments, read afresh at every select';
COMMENT ON PROCEDURE STOP_PROC IS 'Velkor monitor: ends an attachment other than the caller''s';
COMMENT ON PROCEDURE SET_PROC_PRIORITY IS 'Velkor monitor: keeps a priority for an attachment';
COMMENT ON VIEW SL_PROC_STATE IS 'Velkor monitor: the live attachments as the panel lists them';

GRANT EXECUTE ON PROCEDURE VELKOR_MONITOR_ATTACHMENTS TO VIEW SL_PROC_STATE;
GRANT DELETE ON VELKOR_MONITOR_PRIORITY TO PROCEDURE VELKOR_MONITOR_ATTACHMENTS;
GRANT SELECT, INSERT, UPDATE, DELETE ON VELKOR_MONITOR_PRIORITY TO PROCEDURE SET_PROC_PRIORITY;
COMMIT;
