-- Posting of the daily cash sales (CONTADO_MVERDE_PREF) and its helpers.
-- db/README.md explains the entries it makes.

-- The fixed text is plain ASCII on purpose: status texts reach clients that
-- connect with different character sets, and only ASCII survives them all.
CREATE EXCEPTION E_FECHA_INCORRECTA
    'Fecha incorrecta. Escriba la fecha como dd/mm/aaaa o aaaa-mm-dd.';

SET TERM ^;

-- Reads a date written day first (dd/mm/yyyy, one or two digits for day and
-- month, as the posting tool sends it) or as yyyy-mm-dd. The server's own
-- conversion is not used: it reads 01/03/2016 month first. Anything else,
-- an impossible day included, raises E_FECHA_INCORRECTA naming the text.
CREATE FUNCTION LEER_FECHA (TEXTO VARCHAR(255))
RETURNS DATE
AS
    DECLARE T VARCHAR(255);
    DECLARE P1 INTEGER;
    DECLARE P2 INTEGER;
    DECLARE DIA INTEGER = 0;
    DECLARE MES INTEGER = 0;
    DECLARE ANIO INTEGER = 0;
    DECLARE ULTIMO_DIA INTEGER;
BEGIN
    T = TRIM(TEXTO);
    IF (T SIMILAR TO '[0-9]{1,2}/[0-9]{1,2}/[0-9]{4}') THEN
    BEGIN
        P1 = POSITION('/', T);
        P2 = POSITION('/', T, P1 + 1);
        DIA = CAST(SUBSTRING(T FROM 1 FOR P1 - 1) AS INTEGER);
        MES = CAST(SUBSTRING(T FROM P1 + 1 FOR P2 - P1 - 1) AS INTEGER);
        ANIO = CAST(SUBSTRING(T FROM P2 + 1) AS INTEGER);
    END
    ELSE IF (T SIMILAR TO '[0-9]{4}[-][0-9]{1,2}[-][0-9]{1,2}') THEN
    BEGIN
        P1 = POSITION('-', T);
        P2 = POSITION('-', T, P1 + 1);
        ANIO = CAST(SUBSTRING(T FROM 1 FOR P1 - 1) AS INTEGER);
        MES = CAST(SUBSTRING(T FROM P1 + 1 FOR P2 - P1 - 1) AS INTEGER);
        DIA = CAST(SUBSTRING(T FROM P2 + 1) AS INTEGER);
    END

    ULTIMO_DIA = CASE
        WHEN MES IN (1, 3, 5, 7, 8, 10, 12) THEN 31
        WHEN MES IN (4, 6, 9, 11) THEN 30
        WHEN MES = 2 AND MOD(ANIO, 4) = 0 AND (MOD(ANIO, 100) <> 0 OR MOD(ANIO, 400) = 0) THEN 29
        WHEN MES = 2 THEN 28
        ELSE 0
    END;
    IF (ANIO < 1 OR DIA < 1 OR DIA > ULTIMO_DIA) THEN
        EXCEPTION E_FECHA_INCORRECTA 'Fecha incorrecta: "' || COALESCE(TEXTO, '(nula)') ||
            '". Escriba la fecha como dd/mm/aaaa o aaaa-mm-dd.';

    RETURN CAST(LPAD(ANIO, 4, '0') || '-' || LPAD(MES, 2, '0') || '-' || LPAD(DIA, 2, '0') AS DATE);
END^

-- Adds an amount to the voucher's line for the account: a positive amount is
-- a credit, a negative one a debit. The line keeps the net on one side and
-- disappears when the net is zero, so one account gets one line per voucher.
CREATE PROCEDURE ASENTAR_MOVIMIENTO (
    COMPROBANTE INTEGER,
    CUENTA      VARCHAR(10),
    DETALLE     VARCHAR(120),
    CREDITO     NUMERIC(18,2))
AS
    DECLARE LINEA INTEGER;
    DECLARE NETO NUMERIC(18,2);
BEGIN
    IF (CREDITO = 0) THEN
        EXIT;
    LINEA = NULL;
    SELECT MOVI_ID, MOVI_CREDITO - MOVI_DEBITO
      FROM MOVIMIENTO
     WHERE MOVI_COMPROBANTE = :COMPROBANTE AND MOVI_CUENTA = :CUENTA
      INTO LINEA, NETO;
    IF (LINEA IS NULL) THEN
        INSERT INTO MOVIMIENTO (MOVI_COMPROBANTE, MOVI_CUENTA, MOVI_DETALLE, MOVI_DEBITO, MOVI_CREDITO)
        VALUES (:COMPROBANTE, :CUENTA, :DETALLE,
                IIF(:CREDITO < 0, -:CREDITO, 0), IIF(:CREDITO > 0, :CREDITO, 0));
    ELSE
    BEGIN
        NETO = NETO + CREDITO;
        IF (NETO = 0) THEN
            DELETE FROM MOVIMIENTO WHERE MOVI_ID = :LINEA;
        ELSE
            UPDATE MOVIMIENTO
               SET MOVI_DEBITO = IIF(:NETO < 0, -:NETO, 0),
                   MOVI_CREDITO = IIF(:NETO > 0, :NETO, 0)
             WHERE MOVI_ID = :LINEA;
    END
END^

-- Posts one day of cash sales of a prefix into a new voucher of the run LOTE:
-- marks the day's unposted invoices of the cash customer first, then builds
-- the voucher from exactly the invoices it marked, so an invoice saved by
-- someone else meanwhile is neither lost nor counted without being marked.
CREATE PROCEDURE CONTABILIZAR_DIA_CONTADO (
    DIA      DATE,
    PREFIJO  VARCHAR(6),
    NIT      VARCHAR(20),
    CAJA     VARCHAR(10),
    LOTE     INTEGER)
AS
    DECLARE COMPROBANTE INTEGER;
    DECLARE FACTURAS INTEGER;
    DECLARE TOTAL NUMERIC(18,2) = 0;
        DECLARE PORC NUMERIC(15,6);
    DECLARE CTA_INGRESO VARCHAR(10);
    DECLARE CTA_AJUSTE VARCHAR(10);
    DECLARE CTA_IVA VARCHAR(10);
    DECLARE BASE NUMERIC(18,2);
    DECLARE IVA NUMERIC(18,2);
    DECLARE FACTOR NUMERIC(15,4);
    DECLARE INGRESO NUMERIC(18,2);
    DECLARE DETALLE VARCHAR(120);
BEGIN
    DETALLE = 'Ventas de contado ' || PREFIJO || ' del ' || LPAD(EXTRACT(DAY FROM DIA), 2, '0') ||
              '/' || LPAD(EXTRACT(MONTH FROM DIA), 2, '0') || '/' || EXTRACT(YEAR FROM DIA);
    INSERT INTO COMPROBANTE (COMP_FECHA, COMP_DETALLE, COMP_PREFIJO, COMP_LOTE)
    VALUES (:DIA, :DETALLE, :PREFIJO, :LOTE)
    RETURNING COMP_ID INTO COMPROBANTE;

    UPDATE FACTURA_VENTA
       SET FAVE_COMPROBANTE = :COMPROBANTE
     WHERE FAVE_FECHA = :DIA
       AND FAVE_PREFIJO = :PREFIJO
       AND FAVE_COMPROBANTE IS NULL
       AND FAVE_CLIENTE IN (SELECT CLIE_ID FROM CLIENTE WHERE CLIE_NIT = :NIT);
    FACTURAS = ROW_COUNT;
    -- Another run may have posted the day since this one listed it.
    IF (FACTURAS = 0) THEN
    BEGIN
        DELETE FROM COMPROBANTE WHERE COMP_ID = :COMPROBANTE;
        EXIT;
    END

    FOR SELECT T.TAIV_PORC, T.TAIV_CTA_INGRESO, T.TAIV_CTA_AJUSTE,
               T.TAIV_CTA_IVA, SUM(D.FVDE_BASE), SUM(D.FVDE_IVA)
          FROM FACTURA_VENTA F
          JOIN FACTURA_VENTA_DET D ON D.FVDE_FACTURA = F.FAVE_ID
          JOIN TARIFA_IVA T ON T.TAIV_CODIGO = D.FVDE_TARIFA
         WHERE F.FAVE_COMPROBANTE = :COMPROBANTE
         GROUP BY T.TAIV_CODIGO, T.TAIV_PORC, T.TAIV_CTA_INGRESO,
                  T.TAIV_CTA_AJUSTE, T.TAIV_CTA_IVA
         ORDER BY T.TAIV_PORC, T.TAIV_CODIGO
          INTO PORC, CTA_INGRESO, CTA_AJUSTE, CTA_IVA, BASE, IVA
    DO
    BEGIN
        -- The period's factor for the rate; rates that agree to four decimals
        -- share it. Where periods overlap, the one that starts last wins.
        FACTOR = 1;
        SELECT FIRST 1 A.AJCI_FACTOR
          FROM AJUSTE_CIERRE A
         WHERE A.AJCI_FECINI <= :DIA AND A.AJCI_FECFIN >= :DIA
           AND A.AJCI_PORC = ROUND(:PORC, 4)
           AND A.AJCI_FACTOR IS NOT NULL
         ORDER BY A.AJCI_FECINI DESC, A.AJCI_ID DESC
          INTO FACTOR;

        -- The adjustment account takes what the rounded share leaves, so the
        -- two income lines add up to the base to the cent.
        INGRESO = ROUND(BASE * FACTOR, 2);
        EXECUTE PROCEDURE ASENTAR_MOVIMIENTO(:COMPROBANTE, :CTA_INGRESO, :DETALLE, :INGRESO);
        EXECUTE PROCEDURE ASENTAR_MOVIMIENTO(:COMPROBANTE, :CTA_AJUSTE, :DETALLE, :BASE - :INGRESO);
        EXECUTE PROCEDURE ASENTAR_MOVIMIENTO(:COMPROBANTE, :CTA_IVA, :DETALLE, :IVA);
        TOTAL = TOTAL + BASE + IVA;
    END

    EXECUTE PROCEDURE ASENTAR_MOVIMIENTO(:COMPROBANTE, :CAJA, :DETALLE, -:TOTAL);

    UPDATE COMPROBANTE
       SET COMP_TOTAL = :TOTAL, COMP_FACTURAS = :FACTURAS
     WHERE COMP_ID = :COMPROBANTE;
END^

-- Posts the cash sales of the prefix for every day from FECHA_INICIAL to
-- FECHA_FINAL (texts, see LEER_FECHA) and returns one row per voucher made.
-- Every write is done before the first row is returned: a caller that stops
-- fetching early must not leave the posting half done.
CREATE PROCEDURE CONTADO_MVERDE_PREF (
    FECHA_INICIAL VARCHAR(255),
    FECHA_FINAL   VARCHAR(255),
    PREFIJO       VARCHAR(255))
RETURNS (
    NUMERO   INTEGER,
    FECHA    DATE,
    TOTAL    NUMERIC(15,2),
    FACTURAS INTEGER)
AS
    DECLARE DESDE DATE;
    DECLARE HASTA DATE;
    DECLARE NIT VARCHAR(20);
    DECLARE CAJA VARCHAR(10);
    DECLARE LOTE INTEGER;
    DECLARE DIA DATE;
BEGIN
    DESDE = LEER_FECHA(FECHA_INICIAL);
    HASTA = LEER_FECHA(FECHA_FINAL);
    SELECT EMPR_NIT_CONTADO, EMPR_CTA_CAJA FROM EMPRESA WHERE EMPR_ID = 1 INTO NIT, CAJA;
    IF (NIT IS NULL OR DESDE > HASTA OR CHAR_LENGTH(PREFIJO) > 6) THEN
        EXIT;

    LOTE = NEXT VALUE FOR GEN_COMP_LOTE;
    FOR SELECT DISTINCT F.FAVE_FECHA
          FROM FACTURA_VENTA F
          JOIN CLIENTE C ON C.CLIE_ID = F.FAVE_CLIENTE
         WHERE F.FAVE_FECHA BETWEEN :DESDE AND :HASTA
           AND F.FAVE_PREFIJO = :PREFIJO
           AND F.FAVE_COMPROBANTE IS NULL
           AND C.CLIE_NIT = :NIT
         ORDER BY 1
          INTO DIA
    DO
        EXECUTE PROCEDURE CONTABILIZAR_DIA_CONTADO(:DIA, :PREFIJO, :NIT, :CAJA, :LOTE);

    FOR SELECT COMP_NUMERO, COMP_FECHA, COMP_TOTAL, COMP_FACTURAS
          FROM COMPROBANTE
         WHERE COMP_LOTE = :LOTE
         ORDER BY COMP_FECHA
          INTO NUMERO, FECHA, TOTAL, FACTURAS
    DO
        SUSPEND;
END^

SET TERM ;^
