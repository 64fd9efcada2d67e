-- The station's three databases. Text is kept as utf8mb4 with a binary collation, so product
-- names match exactly as typed; the station's connections speak euckr (code page 949) and the
-- server converts.
CREATE DATABASE IF NOT EXISTS vorn_alpha_v1_ch2 CHARACTER SET utf8mb4 COLLATE utf8mb4_bin;
CREATE DATABASE IF NOT EXISTS vorn_web_db_v1 CHARACTER SET utf8mb4 COLLATE utf8mb4_bin;
CREATE DATABASE IF NOT EXISTS vorn_local_db CHARACTER SET utf8mb4 COLLATE utf8mb4_bin;
