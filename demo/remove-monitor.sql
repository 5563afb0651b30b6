/* Takes the monitor (monitor.sql) out of a database again. Run by remove-monitor.sh. Only
   objects whose description marks them as the monitor's are dropped, so running it on a
   database without the monitor, or a second time, changes nothing. One transaction, committed
   at the end: a run that fails leaves the monitor whole. */

SET AUTODDL OFF;
SET TERM ^ ;

EXECUTE BLOCK AS
BEGIN
    IF (EXISTS (SELECT 1 FROM RDB$RELATIONS
                WHERE RDB$RELATION_NAME = 'SL_PROC_STATE'
                  AND RDB$DESCRIPTION STARTING WITH 'Velkor monitor')) THEN
        EXECUTE STATEMENT 'DROP VIEW SL_PROC_STATE';
END^

EXECUTE BLOCK AS
    DECLARE VARIABLE NAME VARCHAR(31);
BEGIN
    FOR SELECT TRIM(RDB$PROCEDURE_NAME) FROM RDB$PROCEDURES
        WHERE RDB$PROCEDURE_NAME IN ('VELKOR_MONITOR_ATTACHMENTS', 'STOP_PROC', 'SET_PROC_PRIORITY')
          AND RDB$DESCRIPTION STARTING WITH 'Velkor monitor'
        INTO :NAME
    DO
        EXECUTE STATEMENT 'DROP PROCEDURE ' || NAME;
END^

EXECUTE BLOCK AS
BEGIN
    IF (EXISTS (SELECT 1 FROM RDB$RELATIONS
                WHERE RDB$RELATION_NAME = 'VELKOR_MONITOR_PRIORITY'
                  AND RDB$DESCRIPTION STARTING WITH 'Velkor monitor')) THEN
        EXECUTE STATEMENT 'DROP TABLE VELKOR_MONITOR_PRIORITY';
    IF (EXISTS (SELECT 1 FROM RDB$EXCEPTIONS
                WHERE RDB$EXCEPTION_NAME = 'VELKOR_MONITOR_REFUSED'
                  AND RDB$DESCRIPTION STARTING WITH 'Velkor monitor')) THEN
        EXECUTE STATEMENT 'DROP EXCEPTION VELKOR_MONITOR_REFUSED';
END^

SET TERM ; ^
COMMIT;
