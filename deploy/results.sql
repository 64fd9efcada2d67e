-- Result rows and day counters of the local database; read with SELECT * by position.
CREATE TABLE IF NOT EXISTS t_inspection (
  num INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  created_at DATETIME NOT NULL DEFAULT CURRENT_TIMESTAMP,
  model_name VARCHAR(100) NOT NULL DEFAULT '',
  product_name VARCHAR(100) NOT NULL DEFAULT '',
  sensor_type VARCHAR(16) NOT NULL DEFAULT '',
  barcode VARCHAR(100) NOT NULL DEFAULT '',
  datetime DATETIME NULL DEFAULT NULL,
  error INT NOT NULL DEFAULT 0,
  t_error INT NOT NULL DEFAULT 0,
  t_mode INT NOT NULL DEFAULT 0,
  t_stamp DOUBLE NOT NULL DEFAULT 0,
  t_peak DOUBLE NOT NULL DEFAULT 0,
  b_error INT NOT NULL DEFAULT 0,
  b_mode INT NOT NULL DEFAULT 0,
  b_stamp DOUBLE NOT NULL DEFAULT 0,
  b_peak DOUBLE NOT NULL DEFAULT 0,
  reserved_str_01 VARCHAR(255) NOT NULL DEFAULT '',
  t_filename_img VARCHAR(512) NOT NULL DEFAULT '',
  b_filename_img VARCHAR(512) NOT NULL DEFAULT '',
  t_filename_wave VARCHAR(512) NOT NULL DEFAULT '',
  b_filename_wave VARCHAR(512) NOT NULL DEFAULT '',
  t_filename_data VARCHAR(512) NOT NULL DEFAULT '',
  b_filename_data VARCHAR(512) NOT NULL DEFAULT '',
  reserved_str_02 VARCHAR(255) NOT NULL DEFAULT '',
  plant_id VARCHAR(100) NOT NULL DEFAULT '',
  ugv_id VARCHAR(100) NOT NULL DEFAULT '',
  location_id VARCHAR(100) NOT NULL DEFAULT '',
  navigation_id VARCHAR(100) NOT NULL DEFAULT '',
  waypoint_id VARCHAR(100) NOT NULL DEFAULT '',
  waypoint_x DOUBLE NOT NULL DEFAULT 0,
  waypoint_y DOUBLE NOT NULL DEFAULT 0,
  map_id INT NOT NULL DEFAULT 0,
  target_id VARCHAR(100) NOT NULL DEFAULT '',
  course_start_time INT NOT NULL DEFAULT 0,
  KEY datetime (datetime)
) ENGINE=InnoDB;

-- The run stamp writes its time as HH-MM-SS; as text, a run in the first hour of a day would
-- sort before "<day> 00:00:00" and drop out of the day's BETWEEN. A date-time column reads any
-- punctuation as the separator. Tables made with a text column are converted (without strict
-- mode, so an unreadable old value cannot stop the provisioning).
SET @station_sql_mode = @@SESSION.sql_mode;
SET SESSION sql_mode = '';
ALTER TABLE t_inspection MODIFY COLUMN datetime DATETIME NULL DEFAULT NULL;
SET SESSION sql_mode = @station_sql_mode;

-- One row per product and day, and one 'Today' row per day.
CREATE TABLE IF NOT EXISTS t_summary (
  num INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  model_name VARCHAR(100) NOT NULL DEFAULT '',
  product_name VARCHAR(100) NOT NULL DEFAULT '',
  date VARCHAR(10) NOT NULL DEFAULT '',
  reset_datetime VARCHAR(32) NULL,
  total_count INT NOT NULL DEFAULT 0,
  pass_count INT NOT NULL DEFAULT 0,
  error_count INT NOT NULL DEFAULT 0,
  KEY product_day (product_name, date)
) ENGINE=InnoDB;
