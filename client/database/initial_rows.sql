-- What the shipped database holds besides its tables: the demo sign-in user and the built-in folders.
INSERT INTO [user] (defaultname, defaultpwd) VALUES ('admin', 'admin');
INSERT INTO smsfolder (smsfolderid, smsfoldername, smsfoldertype) VALUES (1, '收件箱', 0);
INSERT INTO smsfolder (smsfolderid, smsfoldername, smsfoldertype) VALUES (2, '发件箱', 0);
INSERT INTO smsfolder (smsfolderid, smsfoldername, smsfoldertype) VALUES (3, '发送失败', 0);
