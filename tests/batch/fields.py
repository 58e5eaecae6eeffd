# Prints the records of the batch mode's csv or json output (fields.py csv|json FILE) as a
# real parser reads them: the field names, then each record's fields, '|' between them, each
# written with Python's escapes; a json null is empty.
import csv, json, sys
text = open(sys.argv[2], encoding='latin-1', newline='')
rows = json.load(text) if sys.argv[1] == 'json' else list(csv.DictReader(text))
print('|'.join(rows[0].keys()))
for row in rows:
    print('|'.join('' if v is None else str(v).encode('unicode_escape').decode()
                   for v in row.values()))
