SELECT * FROM T WHERE A = :A--it's :B
AND C = :C
