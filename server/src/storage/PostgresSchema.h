#pragma once
// The schema of the store in a PostgreSQL database: its migrations and the SQL of the steps every engine takes alike.

#include "storage/Schema.h"

namespace ovserver::storage {

const Schema &postgresSchema();

} // namespace ovserver::storage
