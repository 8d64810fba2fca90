-- Sample company: accounts, tariffs, customers and the sales of the first
-- quarter of 2016 at two points of sale (prefixes FV and CA). Nothing is
-- posted yet and AJUSTE_CIERRE is empty. db/README.md describes the data.

INSERT INTO CUENTA VALUES ('110505', 'Caja general', 'D');
INSERT INTO CUENTA VALUES ('130505', 'Clientes nacionales', 'D');
INSERT INTO CUENTA VALUES ('240805', 'IVA por pagar 5 %', 'C');
INSERT INTO CUENTA VALUES ('240810', 'IVA por pagar 19 %', 'C');
INSERT INTO CUENTA VALUES ('413501', 'Ventas excluidas de IVA', 'C');
INSERT INTO CUENTA VALUES ('413505', 'Ventas gravadas al 5 %', 'C');
INSERT INTO CUENTA VALUES ('413519', 'Ventas gravadas al 19 %', 'C');
INSERT INTO CUENTA VALUES ('413520', 'Ventas de servicios al 19 %', 'C');
INSERT INTO CUENTA VALUES ('413521', 'Ventas de artículos importados al 19 %', 'C');
INSERT INTO CUENTA VALUES ('413595', 'Ajuste de cierre de ventas de contado', 'C');

INSERT INTO EMPRESA VALUES (1, 'Compañía Demostración Talvero S.A.S.', '900000001-1',
                            '222222222222', '110505');

-- The three 19 % tariffs agree to four decimals: one closing-adjustment rate,
-- three income accounts. The rate 0 has no VAT to post; its VAT account is
-- only there because every tariff names one.
INSERT INTO TARIFA_IVA VALUES ('EXC', 'Excluidas de IVA', 0, '413501', '413595', '240810');
INSERT INTO TARIFA_IVA VALUES ('B5', 'Gravadas al 5 %', 5, '413505', '413595', '240805');
INSERT INTO TARIFA_IVA VALUES ('G19', 'Gravadas al 19 %', 19, '413519', '413595', '240810');
INSERT INTO TARIFA_IVA VALUES ('S19', 'Servicios al 19 %', 19.00001, '413520', '413595', '240810');
INSERT INTO TARIFA_IVA VALUES ('I19', 'Importados al 19 %', 19.00003, '413521', '413595', '240810');

INSERT INTO CLIENTE VALUES (1, '222222222222', 'Clientes de contado (consumidor final)');
INSERT INTO CLIENTE VALUES (2, '900123456-7', 'Distribuidora Andina Ltda.');
INSERT INTO CLIENTE VALUES (3, '800765432-1', 'Panadería La Espiga S.A.S.');

-- The shops close on Sundays and on the holidays below. FV sells every open
-- day, CA only on Saturdays and every fifth day; both also invoice a credit
-- customer now and then. Amounts follow fixed arithmetic series, so every
-- database made from this script holds the same figures.
SET TERM ^;
EXECUTE BLOCK
AS
    DECLARE DIA DATE = '2016-01-01';
    DECLARE K INTEGER = 0;
    DECLARE N INTEGER = 0;
    DECLARE NUM_FV INTEGER = 1000;
    DECLARE NUM_CA INTEGER = 0;
    DECLARE I INTEGER;
    DECLARE CUANTAS INTEGER;
    DECLARE PREFIJO VARCHAR(6);
    DECLARE CLIENTE INTEGER;
    DECLARE NUMERO INTEGER;
    DECLARE FACTURA INTEGER;
    DECLARE T INTEGER;
    DECLARE TARIFA VARCHAR(5);
    DECLARE PORC NUMERIC(15,6);
    DECLARE BASE NUMERIC(15,2);
BEGIN
    WHILE (DIA <= '2016-03-31') DO
    BEGIN
        IF (EXTRACT(WEEKDAY FROM DIA) <> 0
            AND DIA NOT IN ('2016-01-01', '2016-01-11', '2016-03-21', '2016-03-24', '2016-03-25')) THEN
        BEGIN
            -- Invoices of the day: first FV, then CA; the last one of each
            -- prefix may go to a credit customer.
            FOR SELECT P.PREFIJO, P.CUANTAS FROM (
                    SELECT 'FV' AS PREFIJO, 2 + MOD(:K, 3) + IIF(MOD(:K, 7) = 3, 1, 0) AS CUANTAS
                      FROM RDB$DATABASE
                    UNION ALL
                    SELECT 'CA', IIF(EXTRACT(WEEKDAY FROM CAST(:DIA AS DATE)) = 6 OR MOD(:K, 5) = 0,
                                     1 + MOD(:K, 2), 0) + IIF(MOD(:K, 11) = 4, 1, 0)
                      FROM RDB$DATABASE) P
                INTO PREFIJO, CUANTAS
            DO
            BEGIN
                I = 1;
                WHILE (I <= CUANTAS) DO
                BEGIN
                    CLIENTE = 1;
                    IF (I = CUANTAS AND PREFIJO = 'FV' AND MOD(K, 7) = 3) THEN CLIENTE = 2;
                    IF (I = CUANTAS AND PREFIJO = 'CA' AND MOD(K, 11) = 4) THEN CLIENTE = 3;
                    IF (PREFIJO = 'FV') THEN
                    BEGIN
                        NUM_FV = NUM_FV + 1;
                        NUMERO = NUM_FV;
                    END
                    ELSE
                    BEGIN
                        NUM_CA = NUM_CA + 1;
                        NUMERO = NUM_CA;
                    END
                    N = N + 1;
                    INSERT INTO FACTURA_VENTA (FAVE_PREFIJO, FAVE_NUMERO, FAVE_FECHA, FAVE_CLIENTE)
                    VALUES (:PREFIJO, :NUMERO, :DIA, :CLIENTE)
                    RETURNING FAVE_ID INTO FACTURA;

                    -- Every invoice has a line at the general rate; the other
                    -- tariffs come in on their own rhythm.
                    T = 0;
                    FOR SELECT TAIV_CODIGO, TAIV_PORC FROM TARIFA_IVA ORDER BY TAIV_PORC, TAIV_CODIGO
                        INTO TARIFA, PORC
                    DO
                    BEGIN
                        T = T + 1;
                        IF (TARIFA = 'G19'
                            OR (TARIFA = 'B5' AND MOD(N, 2) = 0)
                            OR (TARIFA = 'EXC' AND MOD(N, 3) = 0)
                            OR (TARIFA = 'S19' AND MOD(N, 4) = 1)
                            OR (TARIFA = 'I19' AND MOD(N, 5) = 2)) THEN
                        BEGIN
                            BASE = (MOD(N * 7919 + T * 104729, 900000) + 5000) / 100.00;
                            INSERT INTO FACTURA_VENTA_DET (FVDE_FACTURA, FVDE_TARIFA, FVDE_DESCRIPCION,
                                                           FVDE_BASE, FVDE_IVA)
                            VALUES (:FACTURA, :TARIFA, 'Mercancía surtida ' || :TARIFA, :BASE,
                                    ROUND(:BASE * :PORC / 100, 2));
                        END
                    END
                    I = I + 1;
                END
            END
        END
        DIA = DIA + 1;
        K = K + 1;
    END
END^
SET TERM ;^
