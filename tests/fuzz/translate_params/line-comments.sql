SELECT PROC_ID -- it's :NOT a marker
FROM SL_PROC_STATE -- "odd
WHERE PROC_ID = :ID AND N = 'a--b' -- :Y
