X = :A"Q:B" AND Y = ?--:C
