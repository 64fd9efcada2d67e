-- Demo products with their "Top" sensor rows; applied to the web and to the bridge database.
-- Rows are only added when the product is missing, so applying it again changes nothing.
INSERT INTO t_product (product_name, reserved_str_01, sensor_type, time, time_max)
SELECT 'DEMO-A1', 'DEMO-A', 'TOP_BOTTOM', 30, 0 FROM DUAL
WHERE NOT EXISTS (SELECT 1 FROM t_product WHERE product_name = 'DEMO-A1');
INSERT INTO t_sensor (product_name, sensor_type, reserved_int_01, reserved_int_02, ip_addr)
SELECT 'DEMO-A1', 'Top', 300, 2, '127.0.0.1' FROM DUAL
WHERE NOT EXISTS (SELECT 1 FROM t_sensor WHERE product_name = 'DEMO-A1' AND sensor_type = 'Top');

INSERT INTO t_product (product_name, reserved_str_01, sensor_type, time, time_max)
SELECT '엔진-B2', '엔진-B', 'TOP_BOTTOM', 20, 0 FROM DUAL
WHERE NOT EXISTS (SELECT 1 FROM t_product WHERE product_name = '엔진-B2');
INSERT INTO t_sensor (product_name, sensor_type, reserved_int_01, reserved_int_02, ip_addr,
                      freq_max, freq_min, reserved_int_04, reserved_int_05)
SELECT '엔진-B2', 'Top', 200, 2, '127.0.0.1', 12000, 2000, 10, 50 FROM DUAL
WHERE NOT EXISTS (SELECT 1 FROM t_sensor WHERE product_name = '엔진-B2' AND sensor_type = 'Top');

-- The looping demo mission's two engines, 8 s each. LOOP-A listens where the demo camera's defect
-- sounds (6.0 - 7.0 kHz inside 5 - 8 kHz); 루프-B's five filters listen at 9 - 11 kHz.
INSERT INTO t_product (product_name, reserved_str_01, sensor_type, time, time_max)
SELECT 'LOOP-A', 'LOOP', 'TOP_BOTTOM', 8, 0 FROM DUAL
WHERE NOT EXISTS (SELECT 1 FROM t_product WHERE product_name = 'LOOP-A');
INSERT INTO t_sensor (product_name, sensor_type, reserved_int_01, reserved_int_02, ip_addr,
                      reserved_int_05)
SELECT 'LOOP-A', 'Top', 80, 2, '127.0.0.1', 20 FROM DUAL
WHERE NOT EXISTS (SELECT 1 FROM t_sensor WHERE product_name = 'LOOP-A' AND sensor_type = 'Top');

INSERT INTO t_product (product_name, reserved_str_01, sensor_type, time, time_max)
SELECT '루프-B', '루프', 'TOP_BOTTOM', 8, 0 FROM DUAL
WHERE NOT EXISTS (SELECT 1 FROM t_product WHERE product_name = '루프-B');
INSERT INTO t_sensor (product_name, sensor_type, reserved_int_01, reserved_int_02, ip_addr,
                      reserved_int_05, freq_max, freq_min,
                      filter_01_freq_max, filter_01_freq_min, filter_02_freq_max,
                      filter_02_freq_min, filter_03_freq_max, filter_03_freq_min,
                      filter_04_freq_max, filter_04_freq_min, filter_05_freq_max,
                      filter_05_freq_min)
SELECT '루프-B', 'Top', 80, 2, '127.0.0.1', 20, 12000, 2000,
       11000, 9000, 11000, 9000, 11000, 9000, 11000, 9000, 11000, 9000 FROM DUAL
WHERE NOT EXISTS (SELECT 1 FROM t_sensor WHERE product_name = '루프-B' AND sensor_type = 'Top');
