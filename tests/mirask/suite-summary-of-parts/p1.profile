{"profile":1,"program":"Mirask 09-2002","date":"2024-05-01T12:00:00Z","configuration":"conf.cfg","start_category":"SATZ","utf8":false,"suite":"-","files":[{"role":"configuration","name":"conf.cfg","checksum":"fnv1a64:0000000000000000"},{"role":"rules","name":"rules.txt","checksum":"fnv1a64:1111111111111111"}]}
{"item":{"line":1,"text":"alpha beta","grammatical":true,"expected_count":null,"expected_analysis":null},"verdict":"pass","found":{"outcome":"analysed","count":1,"analysis":"<SATZ(AAAA BBBB)>","nodes":3,"time_us":10},"record":{"version":1,"number":1}}
{"item":{"line":2,"text":"beta alpha","grammatical":false,"expected_count":null,"expected_analysis":null},"verdict":"pass","found":{"outcome":"no_analysis","count":0,"analysis":null,"nodes":2,"time_us":5},"record":{"version":1,"number":2}}
{"item":{"line":3},"verdict":"malformed","problem":"expectation not understood: \"zwei\""}
{"end":{"lines":4,"items":3}}
