#!/usr/bin/env python3
"""Builds the list report's SQLite database: N rows of id, a Chinese and ASCII name, a quantity
with two decimals and a date.  usage: make_db.py FILE ROWS"""
import datetime, sqlite3, sys

path, rows = sys.argv[1], int(sys.argv[2])
db = sqlite3.connect(path)
db.execute("DROP TABLE IF EXISTS items")
# Column types as the purchase and sales tables declare theirs.
db.execute("CREATE TABLE items (id INTEGER PRIMARY KEY, name CHAR(40), qnt DOUBLE, day DATE)")
names = ["螺纹钢 HRB400 Φ{}", "水泥 P.O 42.5 袋装 #{}", "Portland 水泥 bag {} kg", "钢板 Q235 {}mm"]
start = datetime.date(2020, 1, 1)
def row(i):
    return (i, names[i % 4].format(i % 97), round((i * 37 % 100000) / 100.0, 2),
            (start + datetime.timedelta(days=i % 2000)).isoformat())
db.executemany("INSERT INTO items VALUES (?, ?, ?, ?)", (row(i) for i in range(1, rows + 1)))
db.commit()
