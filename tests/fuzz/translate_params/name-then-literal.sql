X = :A'a:B' AND Y = :"q"'b:C' AND Z = ?'c:D'
