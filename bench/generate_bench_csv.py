#!/usr/bin/env python3
# The benchmarks' database as CSV for velmar-db import-csv: RECORDS records
# (50000 unless given) of six searchable text fields from a fixed seed, the
# same shape as bench/generated_database.cpp makes (about 98 MB of value cells).
import random,sys
rng=random.Random(12345)
n=int(sys.argv[1]) if len(sys.argv)>1 else 50000
towns=["Lugo","Vigo","Soria","Teruel","Cuenca","Huesca","Zamora","Avila"]
w=lambda k:"".join(chr(97+rng.randrange(26)) for _ in range(k))
out=sys.stdout
out.write("Registro,Nombre:1,Apellido:1,Ciudad:1,Edad:1,Codigo:1,Notas:1\r\n")
for r in range(1,n+1):
    out.write(f"{r},{w(4+rng.randrange(6))},{w(5+rng.randrange(5))},{rng.choice(towns)},{18+rng.randrange(70)},{w(6+rng.randrange(4))},{w(6+rng.randrange(5))}\r\n")
