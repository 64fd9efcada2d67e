-- Result pictures of the bridge database: the Top JPEG of every finished run.
CREATE TABLE IF NOT EXISTS t_inspection_result (
  num INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  inspection_id INT NOT NULL DEFAULT 0,
  inspection_result INT NOT NULL DEFAULT 0,
  image_data LONGBLOB,
  created_at DATETIME NOT NULL DEFAULT CURRENT_TIMESTAMP,
  KEY inspection_id (inspection_id)
) ENGINE=InnoDB;
