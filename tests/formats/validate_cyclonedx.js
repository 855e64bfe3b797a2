// Validates a CycloneDX 1.5 JSON document against the official schema (with
// the SPDX licence and JSON signature schemas it refers to).
// Usage: node validate_cyclonedx.js NODE_MODULES_FOLDER BOM_FILE
'use strict';
const fs = require('fs');
const path = require('path');

const [modules, bomFile] = process.argv.slice(2);
const Ajv = require(path.join(modules, 'ajv'));
const addFormats = require(path.join(modules, 'ajv-formats'));
const schemaFolder = path.join(modules, '@cyclonedx', 'cyclonedx-library', 'res', 'schema');
const readJson = (file) => JSON.parse(fs.readFileSync(file, 'utf8'));

// The schema refers to the other two by these identifiers.
const schemas = {};
for (const name of ['spdx.SNAPSHOT.schema.json', 'jsf-0.82.SNAPSHOT.schema.json'])
    schemas['http://cyclonedx.org/schema/' + name] = readJson(path.join(schemaFolder, name));

const ajv = new Ajv({ strict: false, allErrors: true, addUsedSchema: false, schemas });
addFormats(ajv);
// Formats ajv-formats lacks, for fields (URLs, e-mail addresses) the tested
// documents do not carry.
ajv.addFormat('iri-reference', true);
ajv.addFormat('idn-email', true);
const validate = ajv.compile(readJson(path.join(schemaFolder, 'bom-1.5.SNAPSHOT.schema.json')));
if (validate(readJson(bomFile))) {
    console.log('valid');
} else {
    console.log(JSON.stringify(validate.errors, null, 1));
    process.exit(1);
}
