-- The accounts of the three connection profiles. On one machine the local and the web profile
-- both log in as root from 127.0.0.1 with different passwords, so root accepts either one
-- (after the socket login that administration uses). A TCP login from 127.0.0.1 is matched
-- as 'localhost' unless the server skips name resolution, hence both host names.
ALTER USER 'root'@'localhost' IDENTIFIED VIA unix_socket
  OR mysql_native_password USING PASSWORD('acoustic')
  OR mysql_native_password USING PASSWORD('7391');
CREATE USER IF NOT EXISTS 'root'@'127.0.0.1';
ALTER USER 'root'@'127.0.0.1' IDENTIFIED VIA mysql_native_password USING PASSWORD('acoustic')
  OR mysql_native_password USING PASSWORD('7391');
GRANT ALL PRIVILEGES ON *.* TO 'root'@'127.0.0.1' WITH GRANT OPTION;

-- The bridge profile's account reaches only the bridge database.
CREATE USER IF NOT EXISTS 'inspection'@'%';
ALTER USER 'inspection'@'%' IDENTIFIED BY '7391';
GRANT SELECT, INSERT, UPDATE, DELETE ON vorn_local_db.* TO 'inspection'@'%';
FLUSH PRIVILEGES;
