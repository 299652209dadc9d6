-- A small demo store: branch 12 (store code "C"), a few products, some with alternative
-- barcodes, one deleted and one inactive.
INSERT INTO identificacao_servidor VALUES (12, '11222333000181', 'LOJA', '2026-01-02 08:00:00', 'demo');
INSERT INTO produto (produto_id, barras, descricao, preco) VALUES
    (1, '7891000100103', 'ARROZ TIPO 1 5 KG', 24.90),
    (2, '7891000200209', 'FEIJAO CARIOCA 1 KG', 8.49),
    (3, '7891000300305', 'OLEO DE SOJA 900 ML', 7.99),
    (4, '7891000400401', 'ACUCAR REFINADO 1 KG', 4.79),
    (5, '7891000500507', 'CAFE TORRADO 500 G', 17.90),
    (6, '0000000000789', 'PAO FRANCES KG', 14.90),
    (7, '7891000700703', 'LEITE INTEGRAL 1 L', 5.49),
    (8, '7891000800809', 'MACARRAO ESPAGUETE 500 G', 4.29);
UPDATE produto SET apagado = 'S' WHERE produto_id = 7;
UPDATE produto SET tipo = 'I' WHERE produto_id = 8;
INSERT INTO barras (produto_id, barras) VALUES (3, '7891000300312'), (8, '7891000800816');
