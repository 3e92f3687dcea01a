#!/usr/bin/env python3
"""Writes samples/clientes.csv: invented Spanish clients for the sample database.

The names, towns and figures are made up and drawn with a fixed seed, so the
file comes out the same on every run. Run from anywhere:
    python3 samples/generate_clientes.py
"""
import csv
import io
import os
import random

SEED = 20260327
COUNT = 300

FIRST_NAMES = [
    "Alejandro", "Ana", "Andrés", "Ángela", "Antonio", "Beatriz", "Carlos", "Carmen", "Cristina", "Daniel",
    "David", "Elena", "Eva", "Fernando", "Francisco", "Gloria", "Inés", "Isabel", "Javier", "Jesús",
    "Jorge", "José", "Juan", "Laura", "Lucía", "Luis", "Manuel", "María", "Marta", "Miguel", "Nuria",
    "Pablo", "Paloma", "Pedro", "Pilar", "Raquel", "Ramón", "Rocío", "Rosa", "Sergio", "Sofía", "Teresa",
    "Tomás", "Víctor", "Yolanda", "Íñigo", "Begoña", "Montserrat", "Xavier", "Noemí",
]
SURNAMES = [
    "García", "Fernández", "González", "Rodríguez", "López", "Martínez", "Sánchez", "Pérez", "Gómez",
    "Martín", "Jiménez", "Ruiz", "Hernández", "Díaz", "Moreno", "Muñoz", "Álvarez", "Romero", "Alonso",
    "Gutiérrez", "Navarro", "Torres", "Domínguez", "Vázquez", "Ramos", "Gil", "Ramírez", "Serrano",
    "Blanco", "Molina", "Morales", "Suárez", "Ortega", "Delgado", "Castro", "Ortiz", "Rubio", "Marín",
    "Sanz", "Núñez", "Iglesias", "Medina", "Garrido", "Cortés", "Castillo", "Santos", "Lozano", "Guerrero",
    "Cano", "Prieto", "Méndez", "Cruz", "Calvo", "Gallego", "Vidal", "León", "Márquez", "Herrera", "Peña",
    "Cabrera", "Campos", "Vega", "Fuentes", "Carrasco", "Diez", "Caballero", "Reyes", "Nieto", "Aguilar",
    "Pascual", "Santana", "Herrero", "Lorenzo", "Montero", "Hidalgo", "Giménez", "Ibáñez", "Ferrer",
    "Durán", "Santiago", "Benítez", "Mora", "Vicente", "Vargas", "Arias", "Carmona", "Crespo", "Román",
    "Pastor", "Soto", "Sáez", "Velasco", "Moya", "Soler", "Parra", "Esteban", "Bravo", "Gallardo", "Rojas",
    "Echeverría", "Ibarra", "Goikoetxea",
]
# Invented towns with the province each belongs to (index into PROVINCES, from 1).
PROVINCES = ["A Coruña", "Ávila", "Badajoz", "Cáceres", "Cuenca", "Huesca", "León", "Lugo", "Soria", "Teruel",
             "Valencia", "Zamora"]
TOWNS = [
    ("Villanueva del Río", 3), ("Castrillo de la Sierra", 9), ("San Martín de Valdeolmos", 2),
    ("Fuentelaguna", 5), ("Peñalba de Abajo", 7), ("Torrequemada", 4), ("Vilariño", 1),
    ("O Porto Novo", 8), ("Alcorisa del Pinar", 10), ("Benicàssim de Dalt", 11), ("Montearagón", 6),
    ("Fermoselle Nuevo", 12), ("Navalsauce", 2), ("Cañizares del Monte", 5), ("Riaño Viejo", 7),
    ("Valdeolivas", 5), ("Mondoñedo de Arriba", 8), ("Almudévar Alto", 6), ("Piedrahíta del Campo", 2),
    ("Villafranca de los Barros Altos", 3),
]
CATEGORIES = ["Oro", "Plata", "Bronce"]
NOTES = [
    "Prefiere que le llamen por la tarde.",
    "Cliente desde la apertura, muy fiel.",
    "Pide factura en papel, no por correo.",
    "Dirección de envío distinta: ver ficha \"B\".",
    "Descuento del 5%, pactado en 2019.",
    "Habla con su hija, Marta, para los pedidos.",
    "Paga siempre al contado; no quiere domiciliar.",
    "Le interesa el catálogo de otoño, línea 2",
    "Reclamación cerrada (pedido 1.204).",
    "Trae muestras {A4} y {A5} cada mes.",
    "Guarda las facturas en C:\\Clientes\\2024.",
    "Firma sus correos con :-}",
]


def random_date(rng, first_year, last_year):
    year = rng.randint(first_year, last_year)
    month = rng.randint(1, 12)
    day = rng.randint(1, 28 if month == 2 else 30 if month in (4, 6, 9, 11) else 31)
    return f"{day:02d}/{month:02d}/{year:04d}"


def main():
    rng = random.Random(SEED)
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\r\n")
    writer.writerow([
        "Registro", "Nombre:1", "Apellidos:1", "Ciudad:1", "Provincia:lista:1:" + "|".join(PROVINCES),
        "Alta:fecha", "Nacimiento:fecha", "Categoria:lista:1:" + "|".join(CATEGORIES), "Saldo:1",
        "Telefono:1", "Notas:texto:0",
    ])
    for record in range(1, COUNT + 1):
        town, province = rng.choice(TOWNS)
        surnames = rng.choice(SURNAMES) + " " + rng.choice(SURNAMES)
        balance = rng.randint(-50000, 900000) / 100
        phone = f"{rng.choice('69')}{rng.randint(10, 99)} {rng.randint(100, 999)} {rng.randint(100, 999)}"
        row = [
            record,
            rng.choice(FIRST_NAMES),
            surnames,
            town,
            province,
            random_date(rng, 1998, 2025),
            random_date(rng, 1940, 2006) if rng.random() > 0.08 else "",
            rng.choice([1, 1, 2, 2, 2, 3, 3, 3, 3]),
            f"{balance:.2f}",
            phone if rng.random() > 0.1 else "",
            rng.choice(NOTES) if rng.random() > 0.6 else "",
        ]
        writer.writerow(row)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "clientes.csv")
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(out.getvalue())


if __name__ == "__main__":
    main()
