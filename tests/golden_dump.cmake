# edid_dump golden tests
