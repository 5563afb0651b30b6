WHERE A = :A/*:B*/ AND C = :"c"/*:D*/
