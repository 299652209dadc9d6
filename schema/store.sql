-- The part of a store database that the offer import reads and writes.
-- Texts are latin1 (Windows-1252 bytes, stored unchanged). cadofertas.dtcadastro is a text
-- column: the import writes the registration time as "yyyymmdd hh:nn:ss", the form the
-- store's booklet rows already hold, which a DATETIME column would refuse.

CREATE TABLE identificacao_servidor (
    filial_id INT,
    cnpj_servidor VARCHAR(20),
    tipo_servidor VARCHAR(20),
    data_identificacao DATETIME,
    hash_identificacao VARCHAR(128)
) DEFAULT CHARSET=latin1;

CREATE TABLE produto (
    produto_id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
    barras VARCHAR(60) NOT NULL DEFAULT '',
    descricao VARCHAR(120) NOT NULL DEFAULT '',
    apagado CHAR(1) NOT NULL DEFAULT 'N',
    tipo CHAR(1) NOT NULL DEFAULT 'P',
    preco DECIMAL(19,4) NOT NULL DEFAULT 0,
    preco_pro DECIMAL(19,4) NULL,
    dtiniciopromocao DATE NULL,
    valid_pro DATE NULL,
    lojas_leram VARCHAR(60) NOT NULL DEFAULT '',
    KEY produto_barras (barras)
) DEFAULT CHARSET=latin1;

CREATE TABLE barras (
    barras_id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
    produto_id INT NOT NULL,
    barras VARCHAR(60) NOT NULL,
    apagado CHAR(1) NOT NULL DEFAULT 'N',
    KEY barras_barras (barras)
) DEFAULT CHARSET=latin1;

CREATE TABLE cadofertas (
    cadofertas_id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
    descricao TEXT NOT NULL,
    dtcadastro VARCHAR(30) NOT NULL DEFAULT '',
    data1 DATE NULL,
    data2 DATE NULL,
    lojas_leram VARCHAR(60) NOT NULL DEFAULT ''
) DEFAULT CHARSET=latin1;

CREATE TABLE prodcadofertas (
    prodcadofertas_id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
    cadofertas_id INT NOT NULL,
    produto_id INT NOT NULL,
    pre_promo DECIMAL(19,4) NULL,
    apagado CHAR(1) NOT NULL DEFAULT 'N',
    lojas_leram VARCHAR(60) NOT NULL DEFAULT '',
    KEY prodcadofertas_oferta_produto (cadofertas_id, produto_id)
) DEFAULT CHARSET=latin1;
